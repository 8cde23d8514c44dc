#pragma once
// Real files of the build host under the core's Windows-style names ('\'
// becomes '/'), for benchmarks that must measure actual reads and writes.
// Sharing modes are not enforced: a benchmark runs alone.

#include "common/file_system.h"

namespace qm {

class HostFileSystem : public FileSystem {
public:
    std::unique_ptr<File> open(const std::string& path, FileAccess access, unsigned share,
                               FileDisposition disposition) override;
    bool remove(const std::string& path) override;
    bool replace(const std::string& from, const std::string& to) override;
};

}  // namespace qm
