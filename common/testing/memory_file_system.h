#pragma once
// In-memory files with the system's sharing rules: an open fails when an
// open handle's sharing does not allow the new access, or the new handle's
// sharing does not allow an open handle's access; an open file cannot be
// deleted. Failures can be injected per path.

#include <map>
#include <memory>
#include <set>
#include <string>

#include "common/file_system.h"

namespace qm::testing {

class MemoryFileSystem : public FileSystem {
public:
    MemoryFileSystem();
    ~MemoryFileSystem() override;

    std::unique_ptr<File> open(const std::string& path, FileAccess access, unsigned share,
                               FileDisposition disposition) override;
    bool remove(const std::string& path) override;
    bool replace(const std::string& from, const std::string& to) override;

    bool exists(const std::string& path) const { return files_.count(path) != 0; }
    const std::string& contents(const std::string& path) const;
    void put(const std::string& path, std::string contents) { files_[path] = std::move(contents); }
    std::size_t fileCount() const { return files_.size(); }

    // Injected failures, by path.
    std::set<std::string> failOpen;     // every open fails
    std::set<std::string> failRead;     // reads fail
    std::set<std::string> failWrite;    // writes fail after writing half
    std::set<std::string> failSize;     // the size cannot be told
    std::set<std::string> failReplace;  // a replace onto this path fails
    // Number of opens so far, failed ones included.
    int openCount = 0;

private:
    class Handle;
    struct OpenHandle {
        FileAccess access;
        unsigned share;
    };
    std::map<std::string, std::string> files_;
    std::multimap<std::string, OpenHandle*> handles_;
};

}  // namespace qm::testing
