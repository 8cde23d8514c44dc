#pragma once
// Real files of the build host under the core's Windows-style names ('\'
// becomes '/'), for benchmarks that must measure actual reads and writes.
// Sharing modes and locks are not enforced: a benchmark runs alone.

#include "common/file_system.h"

namespace qm {

class HostFileSystem : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, FileAccess access, unsigned share,
                               FileDisposition disposition) override;
    bool remove(const std::string& path) override;
    bool replace(const std::string& from, const std::string& to) override;
    bool exists(const std::string& path) const override;
    std::vector<std::string> list(const std::string& pattern) override;
    std::string createTemporary(const std::string& folder, const std::string& prefix) override;
    std::unique_ptr<FileLock> lock(const std::string& path) override;

private:
    unsigned nextTemporary_ = 0;
};

}  // namespace qm
