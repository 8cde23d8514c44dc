#include "wizard/win32/system_folders.h"

#include <windows.h>
#include <shlobj.h>

#include "common/win32/com_ptr.h"

namespace qm::win32 {
namespace {

class Win32Folders : public Folders {
public:
    bool findAttributes(const std::string& path, std::uint32_t& attributes) override {
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA(path.c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) return false;
        FindClose(search);
        attributes = data.dwFileAttributes;
        return true;
    }
    bool createFolder(const std::string& path) override {
        return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
    }
    bool setNormalAttributes(const std::string& path) override {
        return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
    }
    std::vector<std::string> list(const std::string& pattern) override {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA(pattern.c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            names.emplace_back(data.cFileName);
        } while (FindNextFileA(search, &data));
        FindClose(search);
        return names;
    }
    bool deleteFile(const std::string& path) override { return DeleteFileA(path.c_str()) != FALSE; }
    bool removeFolder(const std::string& path) override {
        return RemoveDirectoryA(path.c_str()) != FALSE;
    }
};

// Windows 98 has no all-users Programs folder; the caller then falls back
// to the user's own.
class ShellProgramsFolders : public ProgramsFolders {
public:
    std::string common() override { return SpecialFolder(CSIDL_COMMON_PROGRAMS); }
    std::string user() override { return SpecialFolder(CSIDL_PROGRAMS); }
};

}  // namespace

Folders& SystemFolders() {
    static Win32Folders folders;
    return folders;
}

ProgramsFolders& SystemProgramsFolders() {
    static ShellProgramsFolders folders;
    return folders;
}

// Through the item-id list, which shell32 of Windows 95 and NT4 offers too.
std::string SpecialFolder(int csidl) {
    LPITEMIDLIST list = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, csidl, &list)) || !list) return {};
    char path[MAX_PATH] = {};
    BOOL found = SHGetPathFromIDListA(list, path);
    ComPtr<IMalloc> allocator;
    if (SUCCEEDED(SHGetMalloc(allocator.put()))) allocator->Free(list);
    return found ? std::string(path) : std::string();
}

}  // namespace qm::win32
