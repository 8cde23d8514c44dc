#include "wizard/folders.h"

#include "wizard/install_path.h"

namespace qm {

bool IsExistingFolder(Folders& folders, const std::string& path) {
    std::uint32_t attributes = 0;
    return folders.findAttributes(path, attributes) && attributes == kAttributeDirectory;
}

bool IsFolder(Folders& folders, const std::string& path) {
    std::uint32_t attributes = 0;
    return folders.findAttributes(path, attributes) && (attributes & kAttributeDirectory) != 0;
}

bool EnsureFolder(Folders& folders, const std::string& path, bool create) {
    std::string folder = WithoutTrailingBackslash(path);
    if (IsExistingFolder(folders, folder)) return true;
    if (!create) return false;
    std::vector<std::string> prefixes = CumulativePrefixes(folder);
    for (std::size_t i = 1; i < prefixes.size(); ++i) {
        if (!folders.createFolder(prefixes[i])) folders.setNormalAttributes(prefixes[i]);
    }
    return IsExistingFolder(folders, folder);
}

}  // namespace qm
