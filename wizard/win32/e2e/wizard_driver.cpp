#include "wizard/win32/e2e/wizard_driver.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>

namespace qm::e2e {
namespace {

constexpr int kNextButton = 0x3024;
constexpr int kMessageTextStatic = 0xFFFF;

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct Search {
    DWORD process;
    bool (*match)(HWND window, const void* context);
    const void* context;
    HWND found;
};

BOOL CALLBACK Visit(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<Search*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || !IsWindowVisible(window)) return TRUE;
    if (ClassName(window) != "#32770") return TRUE;
    if (!search->match(window, search->context)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindDialog(DWORD process, bool (*match)(HWND, const void*), const void* context = nullptr) {
    Search search{process, match, context, nullptr};
    EnumWindows(&Visit, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsWizard(HWND window, const void*) {
    return GetDlgItem(window, kNextButton) != nullptr;
}

// A message box has its text in static 0xFFFF and nothing of a wizard or
// of the installer's own dialogs.
bool IsMessageBox(HWND window, const void*) {
    HWND text = GetDlgItem(window, kMessageTextStatic);
    return text && ClassName(text) == "Static" && !GetDlgItem(window, kNextButton) &&
           !GetDlgItem(window, 1026) && !FindWindowExA(window, nullptr, "SysTreeView32", nullptr);
}

bool HasControl(HWND window, const void* id) {
    return GetDlgItem(window, *static_cast<const int*>(id)) != nullptr &&
           !GetDlgItem(window, kNextButton);
}

std::string ModuleFolder() {
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    std::string path(name);
    return path.substr(0, path.rfind('\\') + 1);
}

}  // namespace

std::string BuildFolder() {
    return ModuleFolder();
}

std::string OutputFolder() {
    return ModuleFolder() + "out\\";
}

std::string ArtefactFolder() {
    std::string folder = ModuleFolder() + "artefacts\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    folder += "wizards\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    return folder;
}

ChildProcess::ChildProcess(const std::string& commandLine) {
    std::string command = commandLine;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &info)) {
        CloseHandle(info.hThread);
        process_ = info.hProcess;
        id_ = info.dwProcessId;
    }
}

ChildProcess::~ChildProcess() {
    if (!process_) return;
    if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 1);
        WaitForSingleObject(process_, kExitTimeout);
    }
    CloseHandle(process_);
}

bool ChildProcess::waitForExit(DWORD timeout) {
    return process_ && WaitForSingleObject(process_, timeout) == WAIT_OBJECT_0;
}

DWORD ChildProcess::exitCode() const {
    DWORD code = 0xFFFFFFFF;
    if (process_) GetExitCodeProcess(process_, &code);
    return code;
}

HWND WaitForWizard(DWORD process, DWORD timeout) {
    HWND sheet = nullptr;
    WaitUntil([&] { return (sheet = FindDialog(process, &IsWizard)) != nullptr; }, timeout);
    return sheet;
}

HWND CurrentPageWindow(HWND sheet) {
    return reinterpret_cast<HWND>(SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

int CurrentPage(HWND sheet) {
    HWND page = CurrentPageWindow(sheet);
    if (!page) return -1;
    return static_cast<int>(
        SendMessageA(sheet, PSM_HWNDTOINDEX, reinterpret_cast<WPARAM>(page), 0));
}

bool WaitForPage(HWND sheet, int index, DWORD timeout) {
    return WaitUntil([&] { return IsWindow(sheet) && CurrentPage(sheet) == index; }, timeout);
}

HWND WaitForDialogWith(DWORD process, int controlId, DWORD timeout) {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog(process, &HasControl, &controlId)) != nullptr; },
              timeout);
    return dialog;
}

MessageBoxSeen WaitForMessageBox(DWORD process, DWORD timeout) {
    MessageBoxSeen box;
    WaitUntil([&] { return (box.window = FindDialog(process, &IsMessageBox)) != nullptr; },
              timeout);
    if (box.window) {
        box.caption = Text(box.window);
        box.text = Text(GetDlgItem(box.window, kMessageTextStatic));
    }
    return box;
}

void Answer(const MessageBoxSeen& box, int button) {
    Click(GetDlgItem(box.window, button));
    WaitUntil([&] { return !IsWindow(box.window) || !IsWindowVisible(box.window); });
}

std::string Text(HWND window) {
    char text[4096] = {};
    LRESULT length = SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void SetText(HWND window, const std::string& text) {
    SendMessageA(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND button) {
    PostMessageA(button, BM_CLICK, 0, 0);
}

bool IsShown(HWND window) {
    return window && IsWindowVisible(window);
}

bool IsEnabled(HWND window) {
    return window && IsWindowEnabled(window);
}

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

namespace {

struct OutsideSearch {
    RECT page;
    std::string outside;
};

BOOL CALLBACK NoteIfOutside(HWND control, LPARAM data) {
    auto& search = *reinterpret_cast<OutsideSearch*>(data);
    RECT rect = ScreenRect(control);
    if (rect.left < search.page.left || rect.top < search.page.top ||
        rect.right > search.page.right || rect.bottom > search.page.bottom) {
        search.outside += std::to_string(GetDlgCtrlID(control)) + " ";
    }
    return TRUE;
}

}  // namespace

std::string ControlsOutside(HWND page) {
    OutsideSearch search{ScreenRect(page), {}};
    EnumChildWindows(page, &NoteIfOutside, reinterpret_cast<LPARAM>(&search));
    return search.outside;
}

bool Screenshot(HWND window, const std::string& name) {
    // Let the window finish painting what it was just told.
    Sleep(300);
    RECT rect = ScreenRect(window);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&header),
                                      DIB_RGB_COLORS, &bits, nullptr, 0);
    bool saved = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        SelectObject(memory, old);
        DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
        DWORD imageSize = stride * static_cast<DWORD>(height);
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof header;
        file.bfSize = file.bfOffBits + imageSize;
        header.biSizeImage = imageSize;
        std::string path = ArtefactFolder() + name + ".bmp";
        HANDLE out = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (out != INVALID_HANDLE_VALUE) {
            DWORD written = 0;
            saved = WriteFile(out, &file, sizeof file, &written, nullptr) &&
                    WriteFile(out, &header, sizeof header, &written, nullptr) &&
                    WriteFile(out, bits, imageSize, &written, nullptr);
            CloseHandle(out);
        }
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

}  // namespace qm::e2e
