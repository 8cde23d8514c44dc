#include "common/native/host_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

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

}  // namespace qm
