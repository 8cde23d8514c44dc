#pragma once
// The uninstall procedure of the wizard's progress page: it finds the
// install folder through the settings key, unregisters and deletes the
// DLL and every other file the product put there, clears the browser's
// cached lists of bars, removes the uninstall entry and the Start-menu
// folder, and leaves a script behind that deletes the uninstaller and its
// folder once it ends.

#include <cstddef>
#include <string>
#include <vector>

#include "common/file_system.h"
#include "wizard/folders.h"
#include "wizard/progress_page.h"
#include "wizard/server_registration.h"
#include "wizard/start_menu.h"

namespace qm {

enum class Hive { ClassesRoot, CurrentUser, LocalMachine };

struct KeyContents {
    std::size_t subkeys = 0;
    std::vector<std::string> valueNames;
};

class UninstallRegistry {
public:
    virtual ~UninstallRegistry() = default;
    // Whether the key can be opened with full access.
    virtual bool canOpen(Hive hive, const std::string& path) = 0;
    // A string value of at most 259 characters, without its terminating zero.
    virtual bool readString(Hive hive, const std::string& path, const std::string& name,
                            std::string& value) = 0;
    virtual bool contents(Hive hive, const std::string& path, KeyContents& contents) = 0;
    // Deletes the key with everything below it.
    virtual bool deleteTree(Hive hive, const std::string& path) = 0;
};

class UninstallPage : public virtual ProgressPage {
public:
    // Keeps the user from pressing anything while the last messages show.
    virtual void disableWizard() = 0;
};

class UninstallShell {
public:
    virtual ~UninstallShell() = default;
    // The uninstaller's own full file name.
    virtual std::string ownFileName() = 0;
    virtual std::string tempFolder() = 0;
    // `text` in the code page the command interpreter reads batch files in
    // (the OEM one); false when a character of it has no place there.
    virtual bool toScriptCodePage(const std::string& text, std::string& converted) = 0;
    // Starts the script hidden, at idle priority, after this program.
    virtual bool startScript(const std::string& script) = 0;
};

struct UninstallSystem {
    UninstallRegistry& registry;
    ServerRegistration& server;
    Folders& folders;
    FileSystem& files;
    ProgramsFolders& programs;
    UninstallShell& shell;
    UninstallPage& page;
};

enum class UninstallOutcome {
    Failed,            // a message told why; the wizard closes
    ScriptMissing,     // everything but the uninstaller and its folder is gone; no script
    ScriptNotStarted,  // the same, and the script is deleted again
    ScriptStarted,     // the script removes the rest once the program ends
};

UninstallOutcome RunUninstall(UninstallSystem& system);

// The maker's settings key goes when the product's key was all it held: no
// subkeys, and no values or only an unnamed one.
bool MakerKeyMayGo(const KeyContents& contents);

}  // namespace qm
