#include "wizard/win32/shell_shortcuts.h"

#include <windows.h>
#include <shlobj.h>
// After shlobj.h: it needs the COM interface macros.
#include <intshcut.h>

#include "common/text.h"
#include "common/win32/com_ptr.h"

namespace qm::win32 {
namespace {

bool Save(IUnknown* object, const std::string& path) {
    std::wstring wide = ToWide(path);
    if (wide.empty() || wide.size() >= MAX_PATH) return false;
    ComPtr<IPersistFile> file;
    if (FAILED(object->QueryInterface(IID_IPersistFile, file.putVoid()))) return false;
    return SUCCEEDED(file->Save(wide.c_str(), TRUE));
}

class Shortcuts : public ShortcutWriter {
public:
    bool begin() override {
        initialised_ = SUCCEEDED(CoInitialize(nullptr));
        return initialised_;
    }
    bool saveLink(const std::string& path, const std::string& target,
                  const std::string& description) override {
        ComPtr<IShellLinkA> link;
        if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    link.putVoid()))) {
            return false;
        }
        if (FAILED(link->SetPath(target.c_str())) ||
            FAILED(link->SetDescription(description.c_str()))) {
            return false;
        }
        return Save(link.get(), path);
    }
    bool saveInternetShortcut(const std::string& path, const std::string& address) override {
        ComPtr<IUniformResourceLocatorA> shortcut;
        if (FAILED(CoCreateInstance(CLSID_InternetShortcut, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_IUniformResourceLocatorA, shortcut.putVoid()))) {
            return false;
        }
        if (FAILED(shortcut->SetURL(address.c_str(), IURL_SETURL_FL_GUESS_PROTOCOL))) return false;
        return Save(shortcut.get(), path);
    }
    void end() override {
        if (initialised_) CoUninitialize();
        initialised_ = false;
    }

private:
    bool initialised_ = false;
};

}  // namespace

ShortcutWriter& ShellShortcuts() {
    static Shortcuts shortcuts;
    return shortcuts;
}

}  // namespace qm::win32
