#include "wizard/install_path.h"

#include "common/text.h"

namespace qm {
namespace {

bool EndsWithBackslash(std::string_view path) {
    return !path.empty() && FindLast(path, '\\') == path.size() - 1;
}

}  // namespace

std::string WithoutTrailingBackslash(std::string_view path) {
    if (EndsWithBackslash(path)) path.remove_suffix(1);
    return std::string(path);
}

std::vector<std::string> CumulativePrefixes(std::string_view path) {
    std::vector<std::string> prefixes;
    std::size_t start = 0;
    while (start < path.size() && path[start] == '\\') ++start;
    std::string prefix(path.substr(0, start));
    bool first = true;
    while (start < path.size()) {
        std::size_t end = FindFirst(path, '\\', start);
        if (end == kNotFound) end = path.size();
        if (end > start) {
            if (!first) prefix += '\\';
            prefix.append(path.substr(start, end - start));
            prefixes.push_back(prefix);
            first = false;
        }
        start = end + 1;
    }
    return prefixes;
}

std::string LastComponent(std::string_view path) {
    std::size_t slash = FindLast(path, '\\');
    return std::string(slash == kNotFound ? path : path.substr(slash + 1));
}

std::string ParentFolder(std::string_view path) {
    std::size_t slash = FindLast(path, '\\');
    return slash == kNotFound ? std::string() : std::string(path.substr(0, slash));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    std::string joined(folder);
    if (!EndsWithBackslash(folder)) joined += '\\';
    joined.append(name);
    return joined;
}

std::string DefaultInstallFolder(std::string_view programFiles, std::string_view programFilesDir) {
    std::string_view base = programFiles.empty() ? programFilesDir : programFiles;
    return JoinPath(base, "Marrow Labs\\quellmark");
}

}  // namespace qm
