#include "setup/options_folder.h"

#include "wizard/install_path.h"

namespace qm {

OptionsFolder CheckOptionsFolder(Folders& folders, const std::string& text) {
    if (text.empty()) return {FolderCheck::Empty, {}};
    std::string folder = WithoutTrailingBackslash(text);
    FolderCheck check =
        EnsureFolder(folders, folder, false) ? FolderCheck::Accept : FolderCheck::AskToCreate;
    return {check, folder};
}

}  // namespace qm
