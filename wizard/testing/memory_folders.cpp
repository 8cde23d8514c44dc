#include "wizard/testing/memory_folders.h"

#include "wizard/install_path.h"

namespace qm::testing {
namespace {

bool IsBelow(const std::string& path, const std::string& folder) {
    return path.size() > folder.size() + 1 && path.compare(0, folder.size(), folder) == 0 &&
           path[folder.size()] == '\\';
}

}  // namespace

bool MemoryFolders::isFolder(const std::string& path) const {
    auto it = entries_.find(path);
    return it != entries_.end() && (it->second & kAttributeDirectory) != 0;
}

std::vector<std::string> MemoryFolders::below(const std::string& folder) const {
    std::vector<std::string> paths;
    for (const auto& [path, attributes] : entries_) {
        if (IsBelow(path, folder)) paths.push_back(path);
    }
    return paths;
}

bool MemoryFolders::findAttributes(const std::string& path, std::uint32_t& attributes) {
    auto it = entries_.find(path);
    if (it == entries_.end()) return false;
    attributes = it->second;
    return true;
}

bool MemoryFolders::createFolder(const std::string& path) {
    if (exists(path) || failCreate.count(path) || !isFolder(ParentFolder(path))) return false;
    entries_[path] = kAttributeDirectory;
    created.push_back(path);
    return true;
}

bool MemoryFolders::setNormalAttributes(const std::string& path) {
    auto it = entries_.find(path);
    if (it == entries_.end()) return false;
    std::uint32_t kept = it->second & keptAttributes;
    it->second = ((it->second & kAttributeDirectory) ? kAttributeDirectory : 0x80) | kept;
    reset.push_back(path);
    return true;
}

std::vector<std::string> MemoryFolders::list(const std::string& pattern) {
    const std::string suffix = "\\*.*";
    if (pattern.size() < suffix.size() ||
        pattern.compare(pattern.size() - suffix.size(), suffix.size(), suffix) != 0) {
        return {};
    }
    std::string folder = pattern.substr(0, pattern.size() - suffix.size());
    if (!isFolder(folder)) return {};
    std::vector<std::string> names = {".", ".."};
    for (const std::string& path : below(folder)) {
        if (ParentFolder(path) == folder) names.push_back(LastComponent(path));
    }
    return names;
}

bool MemoryFolders::deleteFile(const std::string& path) {
    auto it = entries_.find(path);
    if (it == entries_.end() || (it->second & kAttributeDirectory) || locked.count(path)) {
        return false;
    }
    entries_.erase(it);
    return true;
}

bool MemoryFolders::removeFolder(const std::string& path) {
    if (!isFolder(path) || !below(path).empty()) return false;
    entries_.erase(path);
    return true;
}

}  // namespace qm::testing
