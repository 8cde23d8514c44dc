#include "uninstall/self_delete_script.h"

namespace qm {
namespace {

// In quotes, and with each '%' doubled: the interpreter reads a single one
// as the start of a variable's name even there.
std::string Quoted(const std::string& path) {
    std::string quoted = "\"";
    for (char c : path) {
        quoted += c;
        if (c == '%') quoted += '%';
    }
    return quoted + "\"";
}

}  // namespace

std::string SelfDeleteScript(const std::string& uninstaller, const std::string& installFolder,
                             const std::string& makerFolder, const std::string& script) {
    // A read-only uninstaller would never go, and the loop never end.
    std::string text = "attrib -r " + Quoted(uninstaller) + "\r\n";
    text += ":Repeat\r\n";
    text += "del " + Quoted(uninstaller) + "\r\n";
    text += "if exist " + Quoted(uninstaller) + " goto Repeat\r\n";
    text += "rmdir " + Quoted(installFolder) + "\r\n";
    if (!makerFolder.empty()) text += "rmdir " + Quoted(makerFolder) + "\r\n";
    text += "del " + Quoted(script) + "\r\n";
    return text;
}

bool MakerFolderGoes(const std::string& makerFolder, std::size_t entriesFound) {
    return !makerFolder.empty() && entriesFound <= 3;
}

}  // namespace qm
