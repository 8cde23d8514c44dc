#include "common/win32/testing/screen_capture.h"

#include <vector>

namespace qm::testing {

std::string HostFileName(const std::string& windowsPath) {
    using UnixNameFn = char*(CDECL*)(LPCWSTR);
    auto unixName = reinterpret_cast<UnixNameFn>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName) return {};
    std::wstring wide(windowsPath.begin(), windowsPath.end());
    char* name = unixName(wide.c_str());
    if (!name) return {};
    std::string result(name);
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

bool StartScreenCapture(const RECT& area, const std::string& hostTarget) {
    char display[64] = {};
    if (hostTarget.empty() || !GetEnvironmentVariableA("DISPLAY", display, sizeof display)) {
        return false;
    }
    const std::string crop = std::to_string(area.right - area.left) + "x" +
                             std::to_string(area.bottom - area.top) + "+" +
                             std::to_string(area.left) + "+" + std::to_string(area.top);
    const std::string part = "'" + hostTarget + ".part.png'";
    const std::string command = "/bin/sh -c \"import -display " + std::string(display) +
                                " -window root -crop " + crop + " +repage " + part + " && mv " +
                                part + " '" + hostTarget + "'\"";
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    // A Unix program gets no Windows process: Wine leaves the handles it
    // reports unset, and closing them could close one of ours (the test's
    // own output, once).
    if (process.dwProcessId) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    return true;
}

}  // namespace qm::testing
