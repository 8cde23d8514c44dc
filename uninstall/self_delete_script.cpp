#include "uninstall/self_delete_script.h"

namespace qm {
namespace {

std::string Quoted(const std::string& path) {
    return "\"" + path + "\"";
}

}  // namespace

std::string SelfDeleteScript(const std::string& uninstaller, const std::string& installFolder,
                             const std::string& makerFolder, const std::string& script) {
    std::string text = ":Repeat\r\n";
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
