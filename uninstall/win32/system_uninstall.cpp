#include "uninstall/win32/system_uninstall.h"

#include <windows.h>

#include <type_traits>

#include "common/win32/unique_handle.h"

namespace qm::win32 {
namespace {

HKEY Root(Hive hive) {
    switch (hive) {
        case Hive::ClassesRoot:
            return HKEY_CLASSES_ROOT;
        case Hive::CurrentUser:
            return HKEY_CURRENT_USER;
        case Hive::LocalMachine:
            break;
    }
    return HKEY_LOCAL_MACHINE;
}

// RegDeleteKeyA of NT refuses a key with subkeys, so they go first. Windows
// 95 has no RegDeleteTree, and shlwapi is not ours to rely on.
bool DeleteTree(HKEY parent, const std::string& name) {
    {
        UniqueKey key;
        if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) {
            return false;
        }
        char sub[256];
        while (RegEnumKeyA(key.get(), 0, sub, sizeof sub) == ERROR_SUCCESS) {
            if (!DeleteTree(key.get(), sub)) return false;
        }
    }
    return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

class Win32UninstallRegistry : public UninstallRegistry {
public:
    bool canOpen(Hive hive, const std::string& path) override {
        UniqueKey key;
        return RegOpenKeyExA(Root(hive), path.c_str(), 0, KEY_ALL_ACCESS, key.put()) ==
               ERROR_SUCCESS;
    }
    bool readString(Hive hive, const std::string& path, const std::string& name,
                    std::string& value) override {
        UniqueKey key;
        if (RegOpenKeyExA(Root(hive), path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
            return false;
        }
        char text[MAX_PATH + 1] = {};
        DWORD type = 0;
        DWORD size = MAX_PATH;
        if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text),
                             &size) != ERROR_SUCCESS ||
            type != REG_SZ) {
            return false;
        }
        value = text;
        return true;
    }
    bool contents(Hive hive, const std::string& path, KeyContents& contents) override {
        UniqueKey key;
        if (RegOpenKeyExA(Root(hive), path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
            return false;
        }
        DWORD subkeys = 0;
        DWORD values = 0;
        if (RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr,
                             &values, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            return false;
        }
        contents.subkeys = subkeys;
        contents.valueNames.clear();
        for (DWORD i = 0; i < values; ++i) {
            char name[256] = {};
            DWORD length = sizeof name;
            if (RegEnumValueA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) ==
                ERROR_SUCCESS) {
                contents.valueNames.emplace_back(name, length);
            }
        }
        return true;
    }
    bool deleteTree(Hive hive, const std::string& path) override {
        return DeleteTree(Root(hive), path);
    }
};

template <typename To, typename From>
std::basic_string<To> Convert(const std::basic_string<From>& text, UINT codePage) {
    const int length = static_cast<int>(text.size());
    auto run = [&](To* out, int room) {
        if constexpr (std::is_same_v<To, wchar_t>) {
            return MultiByteToWideChar(codePage, 0, text.data(), length, out, room);
        } else {
            return WideCharToMultiByte(codePage, 0, text.data(), length, out, room, nullptr,
                                       nullptr);
        }
    };
    int needed = length ? run(nullptr, 0) : 0;
    if (needed <= 0) return {};
    std::basic_string<To> converted(static_cast<std::size_t>(needed), To());
    run(&converted[0], needed);
    return converted;
}

class Win32UninstallShell : public UninstallShell {
public:
    std::string ownFileName() override {
        char name[MAX_PATH + 1] = {};
        DWORD length = GetModuleFileNameA(nullptr, name, MAX_PATH);
        return std::string(name, length);
    }
    std::string tempFolder() override {
        char folder[MAX_PATH + 1] = {};
        DWORD length = GetTempPathA(MAX_PATH, folder);
        return length && length <= MAX_PATH ? std::string(folder, length) : std::string();
    }
    // cmd and command.com read a batch file in the OEM code page, the
    // paths come in the ANSI one: "Jürgen" must reach them as the same name.
    bool toScriptCodePage(const std::string& text, std::string& converted) override {
        std::wstring wide = Convert<wchar_t>(text, CP_ACP);
        converted = Convert<char>(wide, CP_OEMCP);
        // A character the OEM page lacks comes out as another one ('?', or
        // a look-alike on NT): only a text that converts back is the same.
        return Convert<wchar_t>(converted, CP_OEMCP) == wide;
    }
    // Suspended and idle, so this program's higher priority lets it end
    // before the script's first attempt; hidden, without our handles, in
    // the root folder so that it holds no folder it is to remove.
    bool startScript(const std::string& script) override {
        char interpreter[MAX_PATH] = {};
        DWORD length = GetEnvironmentVariableA("COMSPEC", interpreter, sizeof interpreter);
        std::string command = "\"" + script + "\"";
        if (length > 0 && length < sizeof interpreter) {
            command = std::string(interpreter) + " /c " + command;
        }
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE,
                            CREATE_SUSPENDED | IDLE_PRIORITY_CLASS, nullptr, "\\", &startup,
                            &process)) {
            return false;
        }
        SetThreadPriority(process.hThread, THREAD_PRIORITY_IDLE);
        SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_TIME_CRITICAL);
        SetPriorityClass(GetCurrentProcess(), HIGH_PRIORITY_CLASS);
        CloseHandle(process.hProcess);
        ResumeThread(process.hThread);
        CloseHandle(process.hThread);
        return true;
    }
};

}  // namespace

UninstallRegistry& SystemUninstallRegistry() {
    static Win32UninstallRegistry registry;
    return registry;
}

UninstallShell& SystemUninstallShell() {
    static Win32UninstallShell shell;
    return shell;
}

}  // namespace qm::win32
