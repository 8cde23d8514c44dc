#pragma once
// How a popup record is opened again as an ordinary window: a script
// address runs as a script in the page, anything else is opened with the
// record's window name and features.

#include <string>

#include "guard/popup_record.h"

namespace qm {

struct ReopenRequest {
    enum class Kind { RunScript, OpenWindow };
    Kind kind;
    // The script (RunScript) or the address as recorded (OpenWindow).
    std::wstring text;
    std::wstring name;
    std::wstring features;
};

// "javascript:" (any case, after leading blanks) loses that prefix, the
// blanks after it and every "%20" before the script itself.
ReopenRequest PlanReopen(const PopupRecord& record);

}  // namespace qm
