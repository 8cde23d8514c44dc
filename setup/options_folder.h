#pragma once
// The decisions of the options page: when "&Reset" is offered, and whether
// the folder the user typed may be taken when Next is pressed.

#include <string>

#include "wizard/folders.h"

namespace qm {

// "&Reset" is offered while the folder shown is not the default folder.
inline bool ResetOffered(const std::string& shown, const std::string& defaultFolder) {
    return shown != defaultFolder;
}

enum class FolderCheck {
    Empty,        // "please enter a location"; the default folder comes back
    AskToCreate,  // "Directory does not exist.  Create it?"
    Accept,
};

struct OptionsFolder {
    FolderCheck check;
    std::string folder;  // the text without one trailing backslash
};

// What Next does with the typed text. The folder is not created here.
OptionsFolder CheckOptionsFolder(Folders& folders, const std::string& text);

}  // namespace qm
