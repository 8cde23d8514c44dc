#pragma once
// What this process holds, for tests that look for leaks: its committed
// private memory, its GDI and USER objects and its kernel handles.

#include <windows.h>

namespace qm::win32::testing {

struct ProcessFigures {
    SIZE_T privateBytes = 0;
    DWORD gdi = 0;
    DWORD user = 0;
    DWORD handles = 0;
};

ProcessFigures MeasureProcess();

}  // namespace qm::win32::testing
