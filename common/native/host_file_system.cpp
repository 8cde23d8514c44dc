#include "common/native/host_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string_view>

namespace qm {
namespace {

class HostFile : public File {
public:
    explicit HostFile(int fd) : fd_(fd) {}
    ~HostFile() override { close(fd_); }

    std::int64_t size() override {
        struct stat info;
        return fstat(fd_, &info) == 0 ? info.st_size : -1;
    }
    bool seekToStart() override { return lseek(fd_, 0, SEEK_SET) == 0; }
    bool seekToEnd() override { return lseek(fd_, 0, SEEK_END) >= 0; }
    bool seekTo(std::int64_t offset) override { return lseek(fd_, offset, SEEK_SET) == offset; }
    bool flush() override { return fsync(fd_) == 0; }
    bool read(std::size_t count, std::string& data) override {
        data.resize(count);
        ssize_t got = ::read(fd_, data.data(), count);
        data.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
        return got >= 0;
    }
    bool write(std::string_view data) override {
        return ::write(fd_, data.data(), data.size()) == static_cast<ssize_t>(data.size());
    }

private:
    int fd_;
};

std::string HostPath(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

}  // namespace

std::unique_ptr<File> HostFileSystem::open(const std::string& path, FileAccess access, unsigned,
                                           FileDisposition disposition) {
    int flags = access == FileAccess::Read ? O_RDONLY : O_WRONLY;
    if (disposition != FileDisposition::OpenExisting) flags |= O_CREAT;
    if (disposition == FileDisposition::CreateAlways) flags |= O_TRUNC;
    int fd = ::open(HostPath(path).c_str(), flags, 0644);
    if (fd < 0) return nullptr;
    return std::make_unique<HostFile>(fd);
}

bool HostFileSystem::remove(const std::string& path) {
    return unlink(HostPath(path).c_str()) == 0;
}

bool HostFileSystem::replace(const std::string& from, const std::string& to) {
    return std::rename(HostPath(from).c_str(), HostPath(to).c_str()) == 0;
}

bool HostFileSystem::exists(const std::string& path) const {
    struct stat info;
    return stat(HostPath(path).c_str(), &info) == 0;
}

std::vector<std::string> HostFileSystem::list(const std::string& pattern) {
    const std::size_t slash = pattern.rfind('\\') + 1;
    std::vector<std::string> names;
    DIR* folder = opendir(slash ? HostPath(pattern.substr(0, slash)).c_str() : ".");
    if (!folder) return names;
    while (dirent* entry = readdir(folder)) {
        if (entry->d_type != DT_DIR &&
            MatchesFileNamePattern(entry->d_name, std::string_view(pattern).substr(slash))) {
            names.emplace_back(entry->d_name);
        }
    }
    closedir(folder);
    return names;
}

std::string HostFileSystem::createTemporary(const std::string& folder, const std::string& prefix) {
    const std::string base =
        folder + (folder.empty() || folder.back() == '\\' ? "" : "\\") + prefix.substr(0, 3);
    for (unsigned tries = 0; tries < 0x10000; ++tries) {
        char digits[8];
        std::snprintf(digits, sizeof digits, "%04x", ++nextTemporary_ & 0xFFFF);
        std::string path = base + digits + ".tmp";
        int fd = ::open(HostPath(path).c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        if (fd >= 0) {
            close(fd);
            return path;
        }
    }
    return {};
}

std::unique_ptr<FileLock> HostFileSystem::lock(const std::string&) {
    return std::make_unique<FileLock>();
}

}  // namespace qm
