#pragma once
// The platform's side of the core's seams: the system's code page and clock,
// bound to Win32 in common/win32 and to the build host in common/native. The
// core never calls these: each program puts them in place first thing, before
// any text is converted or any time is read.

#include "common/clock.h"
#include "common/code_page.h"

namespace qm {

const CodePage& platformCodePage();
const Clock& platformClock();

// Puts the platform's code page and clock in place for the program's run.
void usePlatformSeams();

}  // namespace qm
