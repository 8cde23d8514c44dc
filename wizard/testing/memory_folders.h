#pragma once
// In-memory folders and files with the system's folder rules: a folder is
// created only below an existing one and only where nothing exists yet, only
// an empty folder is removed, searches list "." and ".." first. Names are
// compared as written.

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "wizard/folders.h"

namespace qm::testing {

class MemoryFolders : public Folders {
public:
    bool findAttributes(const std::string& path, std::uint32_t& attributes) override;
    bool createFolder(const std::string& path) override;
    bool setNormalAttributes(const std::string& path) override;
    std::vector<std::string> list(const std::string& pattern) override;
    bool deleteFile(const std::string& path) override;
    bool removeFolder(const std::string& path) override;

    // A drive or any folder, with its parents not required.
    void addFolder(const std::string& path, std::uint32_t attributes = kAttributeDirectory) {
        entries_[path] = attributes;
    }
    void addFile(const std::string& path) { entries_[path] = 0x20; }
    bool isFolder(const std::string& path) const;
    bool exists(const std::string& path) const { return entries_.count(path) != 0; }
    // Every path below `folder`, in name order.
    std::vector<std::string> below(const std::string& folder) const;

    std::set<std::string> failCreate;  // creation refused (no right)
    std::set<std::string> locked;      // files in use, which cannot be deleted
    std::uint32_t keptAttributes = 0;  // attributes a reset cannot clear (compression)
    std::vector<std::string> created;  // folders created, in order
    std::vector<std::string> reset;    // paths whose attributes were reset, in order

private:
    std::map<std::string, std::uint32_t> entries_;
};

}  // namespace qm::testing
