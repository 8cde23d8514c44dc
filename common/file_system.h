#pragma once
// Files as the core uses them: whole reads and writes on handles opened with
// explicit sharing, so that two windows (or a viewer) touching one file see
// the same refusals the system gives them.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

enum class FileAccess { Read, Write };

// Which access other handles may have while this one is open.
enum FileShare : unsigned { kShareNone = 0, kShareRead = 1, kShareWrite = 2 };

enum class FileDisposition {
    OpenExisting,  // fails when the file does not exist
    OpenAlways,    // creates it when it does not exist
    CreateAlways,  // creates it, or empties the existing one
};

class File {
public:
    virtual ~File() = default;
    // Size in bytes, or -1 when the system cannot tell.
    virtual std::int64_t size() = 0;
    virtual bool seekToStart() = 0;
    virtual bool seekToEnd() = 0;
    // Moves to `offset` bytes from the start.
    virtual bool seekTo(std::int64_t offset) = 0;
    // One read of up to `count` bytes from the current position into `data`.
    virtual bool read(std::size_t count, std::string& data) = 0;
    // One write at the current position; true only when every byte was written.
    virtual bool write(std::string_view data) = 0;
    // Puts what was written on the disk; true when the system says it did.
    virtual bool flush() = 0;
};

// Held while one caller reads, changes and writes back a file; released when
// destroyed.
class FileLock {
public:
    virtual ~FileLock() = default;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<File> open(const std::string& path, FileAccess access, unsigned share,
                                       FileDisposition disposition) = 0;
    virtual bool remove(const std::string& path) = 0;
    // Moves `from` onto `to`, replacing it: in one step where the system can,
    // otherwise (Windows 9x) by deleting `to` and renaming, and then only when
    // `from` is there. False leaves `to` as it was.
    virtual bool replace(const std::string& from, const std::string& to) = 0;
    virtual bool exists(const std::string& path) const = 0;
    // The names, without their folder, of the files that `pattern` matches:
    // a path whose last part may hold '*' and '?'.
    virtual std::vector<std::string> list(const std::string& pattern) = 0;
    // Creates an empty file in `folder` under a name no other file has: the
    // first three characters of `prefix`, up to four hexadecimal digits,
    // ".tmp". Its full path, or empty when none could be made.
    virtual std::string createTemporary(const std::string& folder, const std::string& prefix) = 0;
    // Serialises read-change-write cycles on `path` between the threads and
    // processes of this machine; null when another holder keeps it longer
    // than a cycle of a bounded file can take.
    virtual std::unique_ptr<FileLock> lock(const std::string& path) = 0;
};

// Whether `name` is one `createTemporary` makes with `prefix` (the file name
// without a digit too, as older saves used): the long name is tested, since
// a wildcard search also matches short names.
bool IsTemporaryName(std::string_view name, std::string_view prefix);

// Whether file name `name` matches `pattern` ('*' any run, '?' one
// character), ignoring the case of ASCII letters as the system does.
bool MatchesFileNamePattern(std::string_view name, std::string_view pattern);

// The folder of a module's file name with its trailing backslash
// ("C:\\a\\b.dll" -> "C:\\a\\"), empty when there is no backslash.
std::string FolderWithSlash(std::string_view moduleFileName);

// The folder without its trailing backslash ("C:\\a\\b.dll" -> "C:\\a").
std::string FolderWithoutSlash(std::string_view moduleFileName);

}  // namespace qm
