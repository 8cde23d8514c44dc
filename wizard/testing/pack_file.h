#pragma once
// Packs a file as the installer carries it, for tests that make packages.

#include <string>
#include <string_view>

namespace qm::testing {

std::string PackFile(std::string_view bytes);

}  // namespace qm::testing
