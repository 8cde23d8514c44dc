#include "common/file_rewrite.h"

#include <memory>

namespace qm {

RewriteResult RewriteFile(FileSystem& files, const std::string& path, std::string_view prefix,
                          std::string_view content) {
    const std::string temporary = files.createTemporary(FolderWithSlash(path), std::string(prefix));
    if (temporary.empty()) return RewriteResult::kNotCreated;
    bool written = false;
    {
        // Not shared: nobody else may write into it or read it half done.
        std::unique_ptr<File> file =
            files.open(temporary, FileAccess::Write, kShareNone, FileDisposition::CreateAlways);
        if (!file) {
            files.remove(temporary);
            return RewriteResult::kNotCreated;
        }
        // Flushed before the move: after a power cut the moved file would
        // otherwise hold zeros where its content was still in the cache.
        written = file->write(content) && file->flush();
    }
    if (!written) {
        files.remove(temporary);
        return RewriteResult::kNotWritten;
    }
    if (!files.replace(temporary, path)) {
        files.remove(temporary);
        return RewriteResult::kNotReplaced;
    }
    return RewriteResult::kRewritten;
}

std::vector<std::string> LeftoverTemporaries(FileSystem& files, const std::string& path,
                                             std::string_view prefix) {
    const std::string folder = FolderWithSlash(path);
    std::vector<std::string> paths;
    for (const std::string& name :
         files.list(folder + std::string(prefix.substr(0, 3)) + "*.tmp")) {
        if (IsTemporaryName(name, prefix)) paths.push_back(folder + name);
    }
    return paths;
}

void RemoveLeftoverTemporaries(FileSystem& files, const std::string& path,
                               std::string_view prefix) {
    for (const std::string& leftover : LeftoverTemporaries(files, path, prefix)) {
        files.remove(leftover);
    }
}

}  // namespace qm
