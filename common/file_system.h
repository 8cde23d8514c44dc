#pragma once
// Files as the core uses them: whole reads and writes on handles opened with
// explicit sharing, so that two windows (or a viewer) touching one file see
// the same refusals the system gives them.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

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
    // One read of up to `count` bytes from the current position into `data`.
    virtual bool read(std::size_t count, std::string& data) = 0;
    // One write at the current position; true only when every byte was written.
    virtual bool write(std::string_view data) = 0;
};

class FileSystem {
public:
    virtual ~FileSystem() = default;
    virtual std::unique_ptr<File> open(const std::string& path, FileAccess access, unsigned share,
                                       FileDisposition disposition) = 0;
    virtual bool remove(const std::string& path) = 0;
    // Moves `from` onto `to`, replacing it: in one step where the system can,
    // otherwise by deleting `to` and renaming.
    virtual bool replace(const std::string& from, const std::string& to) = 0;
};

// The folder of a module's file name with its trailing backslash
// ("C:\\a\\b.dll" -> "C:\\a\\"), empty when there is no backslash.
std::string FolderWithSlash(std::string_view moduleFileName);

// The folder without its trailing backslash ("C:\\a\\b.dll" -> "C:\\a").
std::string FolderWithoutSlash(std::string_view moduleFileName);

}  // namespace qm
