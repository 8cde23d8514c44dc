#pragma once
// What the installer's wizard and its browser check say, word for word.

namespace qm {

constexpr char kWelcomeText[] =
    "Welcome to quellmark by Marrow Labs.\n\nThis wizard will help guide you through the "
    "installation process.  It is strongly recommended that you close any open applications "
    "before installing.\n\n\nAll open copies of Internet Explorer must be restarted after "
    "installation before quellmark becomes available.";
constexpr char kFinishedText[] =
    "Thank you for installing quellmark!\n\nTo activate quellmark, restart Internet Explorer and "
    "choose quellmark from the Explorer Bar list in the View menu, as shown below.";

constexpr char kInstallButton[] = "Install";
constexpr char kConfirmButton[] = "Confirm >";
constexpr char kFinishedButton[] = "Finished";
constexpr char kInitializingText[] = "Initializing installation";

constexpr char kEnterLocation[] = "please enter a location";
constexpr char kCreateFolderQuestion[] = "Directory does not exist.  Create it?";
constexpr char kCreateFolderCaption[] = "Confirm";
constexpr char kBrowseTitle[] = "Please select a folder for installation.";

constexpr char kBrowserCloseFailed[] =
    "There was a problem closing Internet Explorer.  Please close Internet Explorer manually and "
    "try to run the quellmark installation again.";
constexpr char kCannotProceedCaption[] = "Installation Cannot Proceed";

}  // namespace qm
