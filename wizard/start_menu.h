#pragma once
// The Start menu as both programs reach it: the Programs folders and the
// shell's link and internet-shortcut objects.

#include <string>

namespace qm {

class ProgramsFolders {
public:
    virtual ~ProgramsFolders() = default;
    // The all-users Programs folder; empty when the system has none.
    virtual std::string common() = 0;
    // The current user's own Programs folder; empty when the system has none.
    virtual std::string user() = 0;
};

class ShortcutWriter {
public:
    virtual ~ShortcutWriter() = default;
    // Initialises COM for the shortcuts; false when it cannot.
    virtual bool begin() = 0;
    // Saves a shell link to `target` with its description as the file `path`.
    virtual bool saveLink(const std::string& path, const std::string& target,
                          const std::string& description) = 0;
    // Saves an internet shortcut to `address` as the file `path`.
    virtual bool saveInternetShortcut(const std::string& path, const std::string& address) = 0;
    virtual void end() = 0;
};

// The product's Start-menu folder below a Programs folder, and the maker's folder above it.
std::string MakerMenuFolder(const std::string& programs);
std::string ProductMenuFolder(const std::string& programs);

}  // namespace qm
