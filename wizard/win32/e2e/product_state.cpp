#include "wizard/win32/e2e/product_state.h"

#include <ole2.h>
#include <shlobj.h>

#include "common/win32/com_ptr.h"
#include "common/win32/unique_handle.h"
#include "wizard/win32/e2e/wizard_driver.h"
#include "wizard/win32/system_folders.h"

namespace qm::e2e {
namespace {

using win32::UniqueKey;

std::string StringData(const RegValue& value) {
    std::string text = value.data;
    return text.substr(0, text.find('\0'));
}

}  // namespace

std::string ProgramFiles() {
    return win32::SpecialFolder(CSIDL_PROGRAM_FILES);
}

std::string MakerFolder() {
    return ProgramFiles() + "\\Marrow Labs";
}

std::string InstallFolder() {
    return MakerFolder() + "\\quellmark";
}

std::string CommonPrograms() {
    return win32::SpecialFolder(CSIDL_COMMON_PROGRAMS);
}

std::string StartMenuFolder() {
    return CommonPrograms() + "\\Marrow Labs\\quellmark";
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string ReadFileBytes(const std::string& path) {
    win32::UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return "(missing)";
    std::string bytes(GetFileSize(file.get(), nullptr), '\0');
    DWORD read = 0;
    if (!bytes.empty())
        ReadFile(file.get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const std::string& bytes) {
    win32::UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file &&
           WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA((folder + "\\*.*").c_str(), &data);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(search, &data));
    FindClose(search);
    return names;
}

void RemoveTree(const std::string& folder) {
    for (const std::string& name : FolderEntries(folder)) {
        std::string path = folder + "\\" + name;
        if (FolderExists(path)) {
            RemoveTree(path);
        } else {
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA(path.c_str());
        }
    }
    RemoveDirectoryA(folder.c_str());
}

bool KeyExists(HKEY root, const std::string& path) {
    UniqueKey key;
    return RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

RegValue ReadValue(HKEY root, const std::string& path, const std::string& name) {
    RegValue value;
    UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return value;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size) !=
        ERROR_SUCCESS) {
        value.type = 0;
        return value;
    }
    value.data.assign(size, '\0');
    RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type,
                     reinterpret_cast<BYTE*>(&value.data[0]), &size);
    value.data.resize(size);
    return value;
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path) {
    std::vector<std::string> names;
    UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return names;
    for (DWORD i = 0;; ++i) {
        char name[256] = {};
        DWORD length = sizeof name;
        if (RegEnumValueA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        names.emplace_back(name, length);
    }
    return names;
}

void DeleteTree(HKEY root, const std::string& path) {
    {
        UniqueKey key;
        if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) {
            return;
        }
        char sub[256];
        while (RegEnumKeyA(key.get(), 0, sub, sizeof sub) == ERROR_SUCCESS) {
            std::string child = path + "\\" + sub;
            DeleteTree(root, child);
            if (KeyExists(root, child)) break;
        }
    }
    RegDeleteKeyA(root, path.c_str());
}

void AddTree(HKEY root, const std::string& path, RegistryTree& tree) {
    UniqueKey key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return;
    auto& values = tree[path];
    for (const std::string& name : ValueNames(root, path))
        values[name] = ReadValue(root, path, name);
    for (DWORD i = 0;; ++i) {
        char sub[256] = {};
        if (RegEnumKeyA(key.get(), i, sub, sizeof sub) != ERROR_SUCCESS) break;
        AddTree(root, path + "\\" + sub, tree);
    }
}

std::string RegisteredClsid() {
    return StringData(ReadValue(HKEY_CLASSES_ROOT, "quellmark.pop\\CLSID", ""));
}

RegistryTree ClassRegistration() {
    RegistryTree tree;
    std::string clsid = RegisteredClsid();
    if (clsid.empty()) return tree;
    AddTree(HKEY_CLASSES_ROOT, "quellmark.pop", tree);
    AddTree(HKEY_CLASSES_ROOT, "quellmark.pop.1", tree);
    AddTree(HKEY_CLASSES_ROOT, "CLSID\\" + clsid, tree);
    std::string libid =
        StringData(ReadValue(HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\TypeLib", ""));
    if (libid.empty()) return tree;
    AddTree(HKEY_CLASSES_ROOT, "TypeLib\\" + libid, tree);
    UniqueKey interfaces;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "Interface", 0, KEY_READ, interfaces.put()) ==
        ERROR_SUCCESS) {
        for (DWORD i = 0;; ++i) {
            char iid[64] = {};
            if (RegEnumKeyA(interfaces.get(), i, iid, sizeof iid) != ERROR_SUCCESS) break;
            std::string path = std::string("Interface\\") + iid;
            if (StringData(ReadValue(HKEY_CLASSES_ROOT, path + "\\TypeLib", "")) == libid) {
                AddTree(HKEY_CLASSES_ROOT, path, tree);
            }
        }
    }
    return tree;
}

LinkSeen ReadLink(const std::string& path) {
    LinkSeen seen;
    win32::ComPtr<IShellLinkA> link;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                link.putVoid()))) {
        return seen;
    }
    auto file = link.as<IPersistFile>(IID_IPersistFile);
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (!file || FAILED(file->Load(wide, STGM_READ))) return seen;
    char text[MAX_PATH] = {};
    if (SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) seen.target = text;
    char description[MAX_PATH] = {};
    if (SUCCEEDED(link->GetDescription(description, MAX_PATH))) seen.description = description;
    return seen;
}

DWORD RunToEnd(const std::string& commandLine) {
    ChildProcess child(commandLine);
    if (!child.started() || !child.waitForExit()) return 0xFFFFFFFF;
    return child.exitCode();
}

HRESULT CallServer(const std::string& dll, const char* entry) {
    HMODULE module = LoadLibraryExA(dll.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    if (!module) return HRESULT_FROM_WIN32(GetLastError());
    auto function = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, entry)));
    HRESULT result = function ? function() : E_NOINTERFACE;
    FreeLibrary(module);
    return result;
}

void RemoveProduct() {
    if (!RegisteredClsid().empty())
        CallServer(OutputFolder() + "quellmark.dll", "DllUnregisterServer");
    DeleteTree(HKEY_LOCAL_MACHINE, kMakerKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kUninstallEntry);
    RemoveTree(MakerFolder());
    RemoveTree(CommonPrograms() + "\\Marrow Labs");
}

}  // namespace qm::e2e
