#include "common/win32/file_system_win32.h"

#include <windows.h>

#include "common/win32/unique_handle.h"

namespace qm::win32 {
namespace {

class SystemFile : public File {
public:
    explicit SystemFile(UniqueFile handle) : handle_(std::move(handle)) {}

    std::int64_t size() override {
        DWORD high = 0;
        DWORD low = GetFileSize(handle_.get(), &high);
        if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return -1;
        return static_cast<std::int64_t>(high) << 32 | low;
    }
    bool seekToStart() override { return seek(FILE_BEGIN); }
    bool seekToEnd() override { return seek(FILE_END); }

    bool read(std::size_t count, std::string& data) override {
        data.assign(count, '\0');
        DWORD got = 0;
        if (!ReadFile(handle_.get(), count ? &data[0] : nullptr, static_cast<DWORD>(count), &got,
                      nullptr)) {
            data.clear();
            return false;
        }
        data.resize(got);
        return true;
    }

    bool write(std::string_view data) override {
        DWORD written = 0;
        BOOL ok = WriteFile(handle_.get(), data.data(), static_cast<DWORD>(data.size()), &written,
                            nullptr);
        return ok && written == data.size();
    }

private:
    bool seek(DWORD method) {
        SetLastError(NO_ERROR);
        DWORD position = SetFilePointer(handle_.get(), 0, nullptr, method);
        return position != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
    }

    UniqueFile handle_;
};

using MoveFileExFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);

class SystemFiles : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, FileAccess access, unsigned share,
                               FileDisposition disposition) override {
        DWORD shareMode = ((share & kShareRead) ? FILE_SHARE_READ : 0) |
                          ((share & kShareWrite) ? FILE_SHARE_WRITE : 0);
        DWORD create = disposition == FileDisposition::OpenExisting ? OPEN_EXISTING
                       : disposition == FileDisposition::OpenAlways ? OPEN_ALWAYS
                                                                    : CREATE_ALWAYS;
        UniqueFile handle(CreateFileA(path.c_str(),
                                      access == FileAccess::Read ? GENERIC_READ : GENERIC_WRITE,
                                      shareMode, nullptr, create, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!handle) return nullptr;
        return std::make_unique<SystemFile>(std::move(handle));
    }

    bool remove(const std::string& path) override { return DeleteFileA(path.c_str()) != FALSE; }

    bool replace(const std::string& from, const std::string& to) override {
        // Windows 9x has no MoveFileExA (it exists only as a failing stub).
        static const auto moveFileEx = reinterpret_cast<MoveFileExFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "MoveFileExA")));
        if (moveFileEx && moveFileEx(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) {
            return true;
        }
        DeleteFileA(to.c_str());
        return MoveFileA(from.c_str(), to.c_str()) != FALSE;
    }
};

}  // namespace

FileSystem& SystemFileSystem() {
    static SystemFiles files;
    return files;
}

std::string ModuleFileName(const void* address) {
    MEMORY_BASIC_INFORMATION info{};
    if (!VirtualQuery(address, &info, sizeof info)) return {};
    char name[MAX_PATH + 1] = {};
    DWORD length = GetModuleFileNameA(static_cast<HMODULE>(info.AllocationBase), name, MAX_PATH);
    return std::string(name, length);
}

}  // namespace qm::win32
