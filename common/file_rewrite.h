#pragma once
// Rewriting a whole file so that no failure, crash or second writer costs
// what it held: the new content goes into a temporary file of this writer's
// own, reaches the disk, and only then moves over the old file.

#include <string>
#include <string_view>

#include "common/file_system.h"

namespace qm {

enum class RewriteResult {
    kRewritten,
    kNotCreated,   // no temporary file could be made
    kNotWritten,   // writing or flushing it failed
    kNotReplaced,  // it could not be moved over the old file
};

// Writes `content` to a temporary file named with `prefix` beside `path`
// and moves it over `path`. On any failure `path` is as it was and the
// temporary file is gone.
RewriteResult RewriteFile(FileSystem& files, const std::string& path, std::string_view prefix,
                          std::string_view content);

// The full paths of the temporary files named with `prefix` beside `path`.
// Called under the file's lock, every one is a leftover of a writer that
// stopped before it finished.
std::vector<std::string> LeftoverTemporaries(FileSystem& files, const std::string& path,
                                             std::string_view prefix);

// Removes those leftovers.
void RemoveLeftoverTemporaries(FileSystem& files, const std::string& path, std::string_view prefix);

}  // namespace qm
