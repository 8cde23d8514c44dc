#pragma once
// The folder operations of the installer and the uninstaller, as the system
// offers them: searches that report an entry's attributes, one-level
// creation and removal, attribute resets and file deletion.

#include <cstdint>
#include <string>
#include <vector>

namespace qm {

constexpr std::uint32_t kAttributeReadOnly = 0x01;
constexpr std::uint32_t kAttributeDirectory = 0x10;

class Folders {
public:
    virtual ~Folders() = default;
    // The attributes of the first entry a search for `path` finds; false when it finds none.
    virtual bool findAttributes(const std::string& path, std::uint32_t& attributes) = 0;
    // Creates one folder whose parent exists.
    virtual bool createFolder(const std::string& path) = 0;
    virtual bool setNormalAttributes(const std::string& path) = 0;
    // The names of every entry a search for `pattern` ("C:\\x\\*.*") finds, in
    // the search's order, "." and ".." included; empty when it finds none.
    virtual std::vector<std::string> list(const std::string& pattern) = 0;
    virtual bool deleteFile(const std::string& path) = 0;
    // Removes an empty folder.
    virtual bool removeFolder(const std::string& path) = 0;
};

// Whether `path` names a folder the way both programs decide it: a search
// for it finds an entry whose attributes are exactly "directory".
bool IsExistingFolder(Folders& folders, const std::string& path);

// Whether a search for `path` finds a folder, whatever else its attributes
// say (compressed, archive, not indexed): the uninstaller's test, which must
// not strand an installation whose folder the system has marked.
bool IsFolder(Folders& folders, const std::string& path);

// The folder helper of the installer: `path` without one trailing backslash
// counts as an existing folder, or, with `create`, is made so by creating each
// prefix after the drive (a prefix that cannot be created, as a rule because
// it exists, gets normal attributes). True when the folder now exists.
bool EnsureFolder(Folders& folders, const std::string& path, bool create);

}  // namespace qm
