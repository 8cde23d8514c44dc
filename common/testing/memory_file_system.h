#pragma once
// In-memory files with the system's sharing rules: an open fails when an
// open handle's sharing does not allow the new access, or the new handle's
// sharing does not allow an open handle's access; an open file cannot be
// deleted. Failures can be injected per path. A lock held by one caller is
// refused to every other, as a lock held past the wait would be.

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
    bool exists(const std::string& path) const override { return files_.count(path) != 0; }
    std::vector<std::string> list(const std::string& pattern) override;
    std::string createTemporary(const std::string& folder, const std::string& prefix) override;
    std::unique_ptr<FileLock> lock(const std::string& path) override;

    const std::string& contents(const std::string& path) const;
    void put(const std::string& path, std::string contents) { files_[path] = std::move(contents); }
    std::size_t fileCount() const { return files_.size(); }

    // Injected failures, by path.
    std::set<std::string> failOpen;     // every open fails
    std::set<std::string> failRead;     // reads fail
    std::set<std::string> failWrite;    // writes fail after writing half
    std::set<std::string> failSize;     // the size cannot be told
    std::set<std::string> failReplace;  // a replace onto this path fails
    std::set<std::string> failRemove;   // a remove fails
    std::set<std::string> failFlush;    // flushing a handle of this path fails
    bool failTemporary = false;         // no temporary file can be made
    // Number of opens so far, failed ones included.
    int openCount = 0;

    // Locks taken so far, refused ones included.
    int lockCount = 0;
    bool isLocked(const std::string& path) const { return locked_.count(path) != 0; }

private:
    class Handle;
    class Lock;
    struct OpenHandle {
        FileAccess access;
        unsigned share;
    };
    std::map<std::string, std::string> files_;
    std::multimap<std::string, OpenHandle*> handles_;
    std::set<std::string> locked_;
    unsigned nextTemporary_ = 0;
};

}  // namespace qm::testing
