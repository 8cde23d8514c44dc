#include "band/win32/testing/face_harness.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include "band/resources/face_ids.h"
#include "common/win32/testing/screen_capture.h"
#include "common/win32/registry_win32.h"
#include "common/win32/unique_handle.h"
#include "settings/settings.h"

namespace qm::band::testing {
namespace {

const char kBandClass[] = "QuellmarkTestBand";
const char kFrameClass[] = "QuellmarkTestBarFrame";
const char kAboutCaption[] = "About Quellmark v1.01";
constexpr int kFrameLeft = 40;
constexpr int kFrameTop = 60;

HINSTANCE Resources() {
    return GetModuleHandleA(nullptr);
}

std::string TestModuleName() {
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    return name;
}

LRESULT CALLBACK BandProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SIZE) {
        if (auto* face = reinterpret_cast<BandFace*>(GetWindowLongPtrA(window, GWLP_USERDATA))) {
            face->Resize(LOWORD(lParam), HIWORD(lParam));
        }
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void RegisterClasses() {
    WNDCLASSA wc{};
    wc.hInstance = Resources();
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    WNDCLASSA existing;
    if (!GetClassInfoA(Resources(), kBandClass, &existing)) {
        wc.lpfnWndProc = BandProcedure;
        wc.lpszClassName = kBandClass;
        RegisterClassA(&wc);
    }
    if (!GetClassInfoA(Resources(), kFrameClass, &existing)) {
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = kFrameClass;
        RegisterClassA(&wc);
    }
}

struct DialogWatch {
    std::string caption;
    std::function<void(HWND)> action;
    bool acted = false;
    bool forced = false;
    int ticks = 0;
    UINT_PTR timer = 0;
};
DialogWatch g_watch;

void CALLBACK WatchDialog(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindThreadDialog(g_watch.caption.c_str());
    ++g_watch.ticks;
    if (dialog && !g_watch.acted) {
        g_watch.acted = true;
        g_watch.action(dialog);
        return;
    }
    if (dialog && g_watch.ticks > 150) {
        g_watch.forced = true;
        EndDialog(dialog, IDCANCEL);
    }
    if (!dialog && g_watch.acted) {
        KillTimer(nullptr, g_watch.timer);
        g_watch.timer = 0;
    }
}

struct CaptionSearch {
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindCaption(HWND window, LPARAM lParam) {
    auto* search = reinterpret_cast<CaptionSearch*>(lParam);
    char text[128] = {};
    GetWindowTextA(window, text, sizeof text);
    if (IsWindowVisible(window) && lstrcmpA(text, search->caption) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

FakeFaceHost::FakeFaceHost() {
    SettingsStore(win32::SystemRegistry(), TestModuleName()).LoadSettings(settings);
}

void FakeFaceHost::ChangeSetting(std::int32_t Settings::*field, std::int32_t value, bool save) {
    if (save) {
        SettingsStore(win32::SystemRegistry(), TestModuleName())
            .ChangeSetting(settings, field, value);
    } else {
        settings.*field = value;
    }
}

void FakeFaceHost::ClearRecords() {
    records.clear();
    ++clearCalls;
}

void FakeFaceHost::OpenInNewWindow(const PopupRecord& record) {
    opened.push_back(record);
    aboutBoxOpenWhenOpening.push_back(FindThreadDialog(kAboutCaption) != nullptr);
}

void FakeFaceHost::AddRule(std::uint16_t flags, const std::string& popupAddress,
                           const std::string& sourceAddress) {
    rules.push_back({flags, popupAddress, sourceAddress});
}

void FakeFaceHost::ToggleBandVisibility() {
    SetBandVisibility(settings.BandVisibility == 0, true);
}

void FakeFaceHost::SetBandVisibility(bool on, bool save) {
    ChangeSetting(&Settings::BandVisibility, on ? 1 : 0, save);
    // The browser asks for the band's size again and gives it 104 or 18 pixels.
    if (!bandWindow) return;
    RECT r;
    GetClientRect(bandWindow, &r);
    const int height = on ? kMaximisedHeight : kMinimisedHeight;
    SetWindowPos(bandWindow, nullptr, 0, 0, r.right, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND frame = GetParent(bandWindow);
    RECT outer = {0, 0, r.right, kBarStripHeight + height};
    AdjustWindowRectEx(&outer, GetWindowLongA(frame, GWL_STYLE), FALSE, 0);
    SetWindowPos(frame, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND FakeFaceHost::CreateToolsPage(HWND minitab) {
    // Stands in for the rules' page, which is not part of the face.
    return CreateWindowExA(0, "STATIC", "(the rule lists of the Tools page)",
                           WS_CHILD | SS_CENTER | SS_CENTERIMAGE, 0, 0, 0, 0, minitab,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDD_TOOLS)), Resources(),
                           nullptr);
}

FaceHarness::FaceHarness(int bandWidth) : face(host, Resources()) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_BAR_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    RegisterClasses();
    const int height = host.settings.BandVisibility ? kMaximisedHeight : kMinimisedHeight;
    RECT outer = {0, 0, bandWidth, kBarStripHeight + height};
    AdjustWindowRectEx(&outer, WS_POPUP | WS_BORDER, FALSE, 0);
    frame = CreateWindowExA(0, kFrameClass, "bar frame", WS_POPUP | WS_BORDER | WS_CLIPCHILDREN,
                            kFrameLeft, kFrameTop, outer.right - outer.left,
                            outer.bottom - outer.top, nullptr, nullptr, Resources(), nullptr);
    toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                              WS_CHILD | WS_VISIBLE | CCS_NORESIZE | CCS_NODIVIDER, bandWidth - 22,
                              1, 20, 18, frame, nullptr, Resources(), nullptr);
    band = CreateWindowExA(0, kBandClass, "", WS_CHILD | WS_VISIBLE, 0, kBarStripHeight, bandWidth,
                           height, frame, nullptr, Resources(), nullptr);
    host.bandWindow = band;
    face.Build(band);
    SetWindowLongPtrA(band, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&face));
    // As the band does when sited: hide the toolbar, then cover it.
    ShowWindow(toolbar, SW_HIDE);
    face.PlaceBarButton(toolbar);
    ShowWindow(frame, SW_SHOWNOACTIVATE);
    UpdateWindow(frame);
    Pump(50);
}

FaceHarness::~FaceHarness() {
    if (frame && IsWindow(frame)) DestroyWindow(frame);
    Pump(10);
    EXPECT_EQ(host.holds, 0) << "the face's handlers hold and let the band in pairs";
}

const PopupRecord& FaceHarness::Keep(const PopupRecord& record) {
    host.records.push_back(std::make_unique<PopupRecord>(record));
    face.AddRecord(*host.records.back());
    return *host.records.back();
}

HWND FaceHarness::PageControl(int id) const {
    for (HWND page = GetWindow(Minitab(), GW_CHILD); page; page = GetWindow(page, GW_HWNDNEXT)) {
        if (HWND control = GetDlgItem(page, id)) return control;
    }
    return nullptr;
}

void FaceHarness::Click(HWND button) {
    PointAt(button);
    SendMessageA(button, BM_CLICK, 0, 0);
    Pump(20);
}

void FaceHarness::ResizeBand(int width, int height) {
    SetWindowPos(band, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    Pump(20);
}

void Pump(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (done()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(5);
    }
}

void PointAt(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    MovePointer((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

void MovePointer(int x, int y) {
    // Wine warps the X pointer and, for a while, may still report (and take
    // back) the old place: wait until the new one has held for a moment.
    SetCursorPos(x, y);
    DWORD heldSince = 0;
    PumpUntil(
        [&] {
            POINT p;
            if (!GetCursorPos(&p) || p.x != x || p.y != y) {
                SetCursorPos(x, y);
                heldSince = 0;
                return false;
            }
            if (!heldSince) heldSince = GetTickCount();
            return GetTickCount() - heldSince >= 150;
        },
        2000);
}

std::string TextOf(HWND window) {
    char text[512] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

COLORREF PixelOf(HWND window, int x, int y) {
    HDC dc = GetDC(window);
    COLORREF colour = GetPixel(dc, x, y);
    ReleaseDC(window, dc);
    return colour;
}

void WhenDialogOpens(const char* caption, std::function<void(HWND)> action) {
    if (g_watch.timer) KillTimer(nullptr, g_watch.timer);
    g_watch = DialogWatch();
    g_watch.caption = caption;
    g_watch.action = std::move(action);
    g_watch.timer = SetTimer(nullptr, 0, 20, WatchDialog);
}

bool DialogWasForcedClosed() {
    return g_watch.forced;
}

HWND FindThreadDialog(const char* caption) {
    CaptionSearch search = {caption, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), FindCaption, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void SaveScreenshot(const std::string& name, HWND window) {
    std::string folder = TestModuleName();
    folder = folder.substr(0, folder.rfind('\\')) + "\\screenshots";
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string done = folder + "\\" + name + ".png";
    DeleteFileA(done.c_str());

    UpdateWindow(window);
    Pump(300);
    GdiFlush();
    RECT r;
    GetWindowRect(window, &r);
    if (!qm::testing::StartScreenCapture(r, qm::testing::HostFileName(done))) return;
    // Wine does not wait for Unix programs: watch for the finished file.
    PumpUntil([&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000);
}

void DeleteSettingsKey() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsParentKey);
}

DWORD StoredSetting(const char* name) {
    win32::UniqueKey key;
    DWORD value = 0xDEADBEEF, size = sizeof value, type = 0;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, key.put()) != 0) return value;
    RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    return value;
}

void StoreSetting(const char* name, DWORD value) {
    Settings scratch;
    SettingsStore store(win32::SystemRegistry(), TestModuleName());
    store.LoadSettings(scratch);
    store.WriteSetting(name, kRegDword, &value, sizeof value);
}

}  // namespace qm::band::testing
