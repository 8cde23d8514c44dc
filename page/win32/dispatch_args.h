#pragma once
// Reading an event's arguments out of DISPPARAMS: the callee finds them in
// reverse order, and every value is checked for its type before use. A
// by-reference VARIANT (how the browser passes addresses) is followed.

#include <oaidl.h>

#include <optional>
#include <string>

namespace qm {

// The event's argument number `index` (0 = first in its signature), or
// null when the caller passed fewer arguments.
const VARIANT* EventArg(const DISPPARAMS* params, unsigned index);

// A string (VT_BSTR, by value or reference); empty for anything else.
std::wstring ArgText(const VARIANT* arg);
// An object (VT_DISPATCH, by value or reference); null for anything else.
IDispatch* ArgDispatch(const VARIANT* arg);
// A 32-bit number (VT_I4 or VT_INT, also by reference).
std::optional<LONG> ArgLong(const VARIANT* arg);
// A browser boolean (VT_BOOL, also by reference), stored as it came.
std::optional<VARIANT_BOOL> ArgBool(const VARIANT* arg);

// The in/out slots of NewWindow2 and BeforeNavigate2; null unless the
// argument is exactly that reference.
IDispatch** ArgDispatchSlot(const VARIANT* arg);
VARIANT_BOOL* ArgBoolSlot(const VARIANT* arg);

// Puts a browser boolean into an event's result, when the caller wants one.
void SetBoolResult(VARIANT* result, bool value);

}  // namespace qm
