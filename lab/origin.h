#pragma once
// Whether two addresses share scheme, host and port: a frame from another
// origin refuses its document to the page's callers.

#include <string_view>

namespace qm::lab {

bool SameOrigin(std::string_view a, std::string_view b);

}  // namespace qm::lab
