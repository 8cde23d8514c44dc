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
    bool seekToStart() override { return seek(0, FILE_BEGIN); }
    bool seekToEnd() override { return seek(0, FILE_END); }
    bool seekTo(std::int64_t offset) override { return offset >= 0 && seek(offset, FILE_BEGIN); }

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

    bool flush() override { return FlushFileBuffers(handle_.get()) != FALSE; }

private:
    bool seek(std::int64_t offset, DWORD method) {
        LONG high = static_cast<LONG>(offset >> 32);
        SetLastError(NO_ERROR);
        DWORD position =
            SetFilePointer(handle_.get(), static_cast<LONG>(offset & 0xFFFFFFFF), &high, method);
        return position != INVALID_SET_FILE_POINTER || GetLastError() == NO_ERROR;
    }

    UniqueFile handle_;
};

using MoveFileExFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);

// Far longer than reading, changing and writing back a file of bounded size
// takes, short enough that a hung holder costs a pause, not a hung window.
constexpr DWORD kLockWaitMs = 5000;

class MutexLock : public FileLock {
public:
    explicit MutexLock(HANDLE mutex) : mutex_(mutex) {}
    ~MutexLock() override {
        ReleaseMutex(mutex_);
        CloseHandle(mutex_);
    }

private:
    HANDLE mutex_;
};

// One mutex name per file: its path without backslashes (which name
// namespaces on NT), in one case, at most MAX_PATH characters.
std::string MutexName(const std::string& path) {
    std::string name = "quellmark file ";
    for (char c : path) {
        char lower = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        name += lower == '\\' ? '/' : lower;
    }
    return name.size() < MAX_PATH ? name : name.substr(name.size() - (MAX_PATH - 1));
}

bool IsMissing(const std::string& path) {
    return GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
}

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
        // Windows 9x has no MoveFileExA (it exists only as a stub answering
        // ERROR_CALL_NOT_IMPLEMENTED); any other failure is the answer.
        static const auto moveFileEx = reinterpret_cast<MoveFileExFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "MoveFileExA")));
        // A read-only file is not replaced, as Windows refuses it; Wine would.
        DWORD attributes = GetFileAttributesA(to.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            return false;
        }
        if (moveFileEx) {
            if (moveFileEx(from.c_str(), to.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
                return true;
            }
            if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
        }
        if (IsMissing(from)) return false;
        if (!DeleteFileA(to.c_str()) && !IsMissing(to)) return false;
        return MoveFileA(from.c_str(), to.c_str()) != FALSE;
    }

    bool exists(const std::string& path) const override { return !IsMissing(path); }

    std::vector<std::string> list(const std::string& pattern) override {
        std::vector<std::string> names;
        WIN32_FIND_DATAA data;
        HANDLE search = FindFirstFileA(pattern.c_str(), &data);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                names.emplace_back(data.cFileName);
            }
        } while (FindNextFileA(search, &data));
        FindClose(search);
        return names;
    }

    std::string createTemporary(const std::string& folder, const std::string& prefix) override {
        char path[MAX_PATH + 1] = {};
        if (!GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, path)) return {};
        return path;
    }

    std::unique_ptr<FileLock> lock(const std::string& path) override {
        HANDLE mutex = CreateMutexA(nullptr, FALSE, MutexName(path).c_str());
        if (!mutex) return nullptr;
        // An abandoned mutex is ours now: its holder ended, the file is as
        // its last complete replace left it.
        DWORD waited = WaitForSingleObject(mutex, kLockWaitMs);
        if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
            CloseHandle(mutex);
            return nullptr;
        }
        return std::make_unique<MutexLock>(mutex);
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
