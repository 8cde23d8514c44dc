#include "common/file_system.h"

#include "common/text.h"

namespace qm {

std::string FolderWithSlash(std::string_view moduleFileName) {
    std::size_t slash = FindLast(moduleFileName, '\\');
    return slash == kNotFound ? std::string() : std::string(moduleFileName.substr(0, slash + 1));
}

std::string FolderWithoutSlash(std::string_view moduleFileName) {
    std::size_t slash = FindLast(moduleFileName, '\\');
    return slash == kNotFound ? std::string(moduleFileName)
                              : std::string(moduleFileName.substr(0, slash));
}

}  // namespace qm
