// The real band in the lab's browser window: created by its ProgID, sited,
// shown, closed and released like the browser does it, many times over.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "rules/resources/tools_ids.h"
#include "common/win32/testing/process_figures.h"
#include "common/win32/unique_handle.h"
#include "lab/win32/capture_classes.h"
#include "lab/win32/lab_browser.h"
#include "lab/win32/lab_frame.h"
#include "lab/win32/scheduler.h"
#include "lab/win32/testing/lab_fixture.h"
#include "rules/win32/testing/dialog_driver.h"

namespace qm::lab {
namespace {

const char kSettingsKey[] = "SOFTWARE\\Marrow Labs\\quellmark";

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

std::string DllPath() {
    char name[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, name, MAX_PATH);
    std::string path(name);
    return path.substr(0, path.rfind('\\') + 1) + "out\\quellmark.dll";
}

DWORD ReadSetting(const char* name) {
    win32::UniqueKey key;
    DWORD value = 0xFFFFFFFF, size = sizeof value;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, key.put()) == 0) {
        RegQueryValueExA(key.get(), name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    }
    return value;
}

void DeleteSettingsKey() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Marrow Labs");
}

class BandInLab : public testing::LabFixture {
protected:
    void SetUp() override {
        LabFixture::SetUp();
        // Our own reference keeps the DLL at one address for the whole test.
        module_ = LoadLibraryA(DllPath().c_str());
        ASSERT_NE(module_, nullptr);
        ASSERT_EQ(Call("DllRegisterServer"), S_OK);
        DeleteSettingsKey();
        load(
            "page http://news.example/\n  title \"News\"\n  load 10\nend\n"
            "page http://other.example/\n  load 10\nend\n"
            "page http://third.example/\n  load 10\nend\n"
            "page http://popups.example/\n  load 10\n"
            "  onload \"window.open('http://ads.example/slow.html','ad','')\"\nend\n"
            "popup http://ads.example/slow.html\n  ready never\nend\n");
        main_ = LabBrowser::Create(lab(), BrowserRole::Main, "main");
    }
    void TearDown() override {
        frame_.reset();
        if (main_) main_->shutdown();
        main_.reset();
        PumpMessages(50);
        EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);
        Call("DllUnregisterServer");
        DeleteSettingsKey();
        if (module_) FreeLibrary(module_);
        LabFixture::TearDown();
    }

    HRESULT Call(const char* entry) {
        auto function =
            reinterpret_cast<EntryPoint>(reinterpret_cast<void*>(GetProcAddress(module_, entry)));
        return function ? function() : E_NOTIMPL;
    }

    void OpenFrame(int width, int height) {
        LabFrame::Options options;
        options.width = width;
        options.height = height;
        options.band = "quellmark.pop";
        frame_ = std::make_unique<LabFrame>(lab(), main_, options);
        frame_->show();
    }

    HMODULE module_ = nullptr;
    win32::ComPtr<LabBrowser> main_;
    std::unique_ptr<LabFrame> frame_;
};

TEST_F(BandInLab, CreatedByItsProgIdAndUnloadableAfterTheLastRelease) {
    OpenFrame(800, 600);
    ASSERT_TRUE(frame_->openBar());
    EXPECT_TRUE(traced("band created quellmark.pop"));
    EXPECT_TRUE(traced("band set-site hr=0x00000000"));
    EXPECT_TRUE(traced("bar shown height=104"));
    EXPECT_EQ(Call("DllCanUnloadNow"), S_FALSE);
    frame_->closeBar();
    PumpMessages(50);
    EXPECT_TRUE(traced("band released refs=0"));
    EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);
}

// The browser frees an idle band DLL and may load it again at another
// address: nothing of the first load may stay registered, and a band of the
// second load works.
TEST_F(BandInLab, FreedAndLoadedAgainAtAnotherAddressABandStillWorks) {
    OpenFrame(800, 600);
    ASSERT_TRUE(frame_->openBar());
    frame_->closeBar();
    PumpMessages(50);
    ASSERT_EQ(Call("DllCanUnloadNow"), S_OK);

    HMODULE first = module_;
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(first);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(reinterpret_cast<BYTE*>(first) + dos->e_lfanew);
    const SIZE_T imageSize = nt->OptionalHeader.SizeOfImage;
    FreeLibrary(module_);
    module_ = nullptr;
    CoFreeUnusedLibrariesEx(0, 0);
    ASSERT_EQ(GetModuleHandleA("quellmark.dll"), nullptr);
    for (const char* name :
         {"QuellmarkCommBarClass", "QuellmarkMinitab", "QuellmarkCaptureTimer"}) {
        WNDCLASSA info;
        EXPECT_FALSE(GetClassInfoA(first, name, &info)) << name << " outlived the DLL";
    }
    ASSERT_FALSE(HasFailure());

    // The first load's address stays taken, so the second load is moved.
    void* taken = VirtualAlloc(first, imageSize, MEM_RESERVE, PAGE_NOACCESS);
    ASSERT_EQ(taken, static_cast<void*>(first));
    module_ = LoadLibraryA(DllPath().c_str());
    ASSERT_NE(module_, nullptr);
    EXPECT_NE(module_, first);
    auto count = [this](const std::string& line) {
        std::string text = traceText();
        int found = 0;
        for (auto at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
            ++found;
        }
        return found;
    };
    ASSERT_TRUE(frame_->openBar());
    EXPECT_EQ(count("bar shown height=104"), 2);
    frame_->closeBar();
    PumpMessages(50);
    EXPECT_EQ(count("band released refs=0"), 2);
    VirtualFree(taken, 0, MEM_RELEASE);
}

BOOL CALLBACK FindToolsPage(HWND window, LPARAM found) {
    HWND parent = GetParent(window);
    if (GetDlgCtrlID(window) == IDC_VIEW_LOG && GetDlgItem(parent, IDC_WHITE_LIST)) {
        *reinterpret_cast<HWND*>(found) = parent;
        return FALSE;
    }
    return TRUE;
}

// The browser may close the bar while a dialog of the band is up (the user
// closes the browser window from the taskbar): the dialog ends as if
// cancelled, and the band goes once the command that opened it is done.
TEST_F(BandInLab, ClosingTheBarEndsAnOpenDialogAndFreesTheBandAfterIt) {
    OpenFrame(800, 600);
    ASSERT_TRUE(frame_->openBar());
    HWND page = nullptr;
    EnumChildWindows(frame_->window(), FindToolsPage, reinterpret_cast<LPARAM>(&page));
    ASSERT_NE(page, nullptr);

    HWND viewer = nullptr;
    qm::testing::DialogDriver driver;
    driver
        .Then([&] {
            qm::testing::PostClick(page, IDC_VIEW_LOG);
            return true;
        })
        .Then(qm::testing::WaitForDialog("Quellmark Activity Log", viewer))
        .Then([&] {
            frame_->closeBar();
            return true;
        })
        .Then([&] { return !IsWindow(viewer); });
    EXPECT_TRUE(driver.Run(10000)) << "the log viewer outlived the bar";
    PumpMessages(50);
    EXPECT_TRUE(traced("band released refs=1")) << "the open command holds the band";
    EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);
}

BOOL CALLBACK FindBarToolbar(HWND window, LPARAM found) {
    char name[32] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpA(name, "ToolbarWindow32") != 0) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

WNDPROC g_behindUs = nullptr;

LRESULT CALLBACK AfterUs(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return CallWindowProcA(g_behindUs, window, message, wParam, lParam);
}

// Another component of the browser subclassed the bar frame after the band:
// the band's procedure stays in the frame's chain, so its DLL must stay.
TEST_F(BandInLab, ADllWhoseProcedureAFrameStillCallsIsNotFreed) {
    OpenFrame(800, 600);
    ASSERT_TRUE(frame_->openBar());
    HWND toolbar = nullptr;
    EnumChildWindows(frame_->window(), FindBarToolbar, reinterpret_cast<LPARAM>(&toolbar));
    ASSERT_NE(toolbar, nullptr);
    HWND barFrame = GetParent(toolbar);
    g_behindUs = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(barFrame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfterUs)));
    ASSERT_NE(g_behindUs, nullptr);

    frame_->closeBar();
    PumpMessages(50);
    ASSERT_TRUE(traced("band released refs=0"));
    EXPECT_EQ(Call("DllCanUnloadNow"), S_FALSE) << "the frame would call freed code";
    // Unchained by the other component, ours is first again: still called.
    SetWindowLongPtrA(barFrame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_behindUs));
    SendMessageA(barFrame, WM_NULL, 0, 0);
    EXPECT_EQ(Call("DllCanUnloadNow"), S_FALSE);
    // A band of a later opening takes the chain over and gives it back whole.
    ASSERT_TRUE(frame_->openBar());
    frame_->closeBar();
    PumpMessages(50);
    EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);
    EXPECT_NE(GetWindowLongPtrA(barFrame, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(g_behindUs))
        << "our procedure left the frame's chain";
}

TEST_F(BandInLab, AFrameThatStillCallsTheBandUntilItGoesKeepsTheDllTillThen) {
    OpenFrame(800, 600);
    ASSERT_TRUE(frame_->openBar());
    HWND toolbar = nullptr;
    EnumChildWindows(frame_->window(), FindBarToolbar, reinterpret_cast<LPARAM>(&toolbar));
    ASSERT_NE(toolbar, nullptr);
    HWND barFrame = GetParent(toolbar);
    g_behindUs = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(barFrame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfterUs)));
    frame_->closeBar();
    PumpMessages(50);
    EXPECT_EQ(Call("DllCanUnloadNow"), S_FALSE);
    frame_.reset();
    PumpMessages(50);
    EXPECT_EQ(Call("DllCanUnloadNow"), S_OK) << "the frame's last message was its last call";
}

// The capture's timer and hidden browser are children of the band window:
// closing the bar while one loads concludes it first, as its time limit would.
TEST_F(BandInLab, ClosingTheBarDuringACaptureRecordsItBeforeItsWindowsGo) {
    CaptureClasses classes(lab());
    ASSERT_TRUE(classes.registered());
    OpenFrame(800, 600);
    ASSERT_TRUE(frame_->openBar());
    main_->navigate("http://popups.example/");
    ASSERT_TRUE(waitFor([this] {
        return traced("new-window captured \"http://ads.example/slow.html\" into=capture1");
    })) << traceText();
    PumpMessages(600);
    frame_->closeBar();
    PumpMessages(50);
    EXPECT_TRUE(
        traced("decision 1 capture stopped \"http://ads.example/slow.html\" "
               "because=protection level=2 page=time-limit counted=yes"))
        << traceText();
    EXPECT_TRUE(traced("quit capture1"));
    EXPECT_TRUE(traced("band released refs=0"));
    EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);
}

TEST_F(BandInLab, FirstStartWritesTheDefaultsBesideTheDll) {
    OpenFrame(800, 600);
    ASSERT_TRUE(frame_->openBar());
    EXPECT_EQ(ReadSetting("GuardLevel"), 2u);
    EXPECT_EQ(ReadSetting("MaxLogSize"), 10u);
    win32::UniqueKey key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, KEY_READ, key.put()), 0);
    char path[MAX_PATH] = {};
    DWORD size = sizeof path;
    ASSERT_EQ(
        RegQueryValueExA(key.get(), "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size),
        0);
    std::string dll = DllPath();
    EXPECT_EQ(lstrcmpiA(path, dll.substr(0, dll.rfind('\\')).c_str()), 0) << path;
}

// A thousand cycles unless QM_BAND_CYCLES says otherwise: the test script
// runs them in full on one architecture and a hundred on the other, which
// still shows a leak of one handle a cycle.
int BandCycles() {
    char text[16] = {};
    DWORD length = GetEnvironmentVariableA("QM_BAND_CYCLES", text, sizeof text);
    int cycles = length > 0 && length < sizeof text ? atoi(text) : 0;
    return cycles > 0 ? cycles : 1000;
}

TEST_F(BandInLab, ManyCyclesLeaveNothingBehind) {
    OpenFrame(800, 600);
    auto cycle = [this] {
        ASSERT_TRUE(frame_->openBar());
        PumpMessages(0);
        frame_->closeBar();
        PumpMessages(0);
    };
    // The first cycles load what stays loaded (common controls, fonts, classes).
    for (int i = 0; i < 10; ++i) cycle();
    const win32::testing::ProcessFigures before = win32::testing::MeasureProcess();
    const int cycles = BandCycles();
    std::printf("%d band cycles\n", cycles);
    for (int i = 0; i < cycles; ++i) {
        cycle();
        if (HasFatalFailure()) return;
    }
    const win32::testing::ProcessFigures after = win32::testing::MeasureProcess();
    std::printf("before: GDI %lu, USER %lu, handles %lu; after: %lu, %lu, %lu\n",
                static_cast<unsigned long>(before.gdi), static_cast<unsigned long>(before.user),
                static_cast<unsigned long>(before.handles), static_cast<unsigned long>(after.gdi),
                static_cast<unsigned long>(after.user), static_cast<unsigned long>(after.handles));
    EXPECT_LE(after.handles, before.handles + 2);
    EXPECT_LE(after.gdi, before.gdi + 2);
    EXPECT_LE(after.user, before.user + 2);
    EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);
}

TEST_F(BandInLab, SmallBrowserWindowHidesTheBarAfterTheFirstCheck) {
    OpenFrame(640, 280);
    ASSERT_TRUE(frame_->openBar());
    DWORD start = GetTickCount();
    // The first check is 1.2 s after siting: still open well before it.
    PumpMessages(300);
    EXPECT_TRUE(frame_->band()->isOpen());
    EXPECT_TRUE(testing::LabFixture::waitFor([this] { return !frame_->band()->isOpen(); }, 4000));
    EXPECT_GE(GetTickCount() - start, 900u);
    EXPECT_TRUE(traced("bar hidden"));
}

TEST_F(BandInLab, HiddenBandInATallishWindowShowsItselfAndGrowsTheWindowOnce) {
    OpenFrame(800, 510);
    ASSERT_TRUE(frame_->openBar());
    // The browser hid the band's window while it stays sited.
    ShowWindow(frame_->band()->bandWindow(), SW_HIDE);
    main_->navigate("http://news.example/");
    ASSERT_TRUE(waitFor([this] { return traced("browser size 800x532 by=caller"); }));
    ShowWindow(frame_->band()->bandWindow(), SW_HIDE);
    main_->navigate("http://other.example/");
    waitFor([this] { return traced("page loaded main \"http://other.example/\""); });
    EXPECT_FALSE(traced("browser size 800x554 by=caller"));
}

TEST_F(BandInLab, HiddenExpandedBandInALowWindowCollapsesWithoutSaving) {
    OpenFrame(800, 450);
    ASSERT_TRUE(frame_->openBar());
    ASSERT_EQ(ReadSetting("BandVisibility"), 1u);
    ShowWindow(frame_->band()->bandWindow(), SW_HIDE);
    main_->navigate("http://news.example/");
    ASSERT_TRUE(waitFor([this] { return traced("bar resized height=18"); }));
    EXPECT_TRUE(traced("bandinfo * min=104,18 max=-1,18 *"));
    EXPECT_EQ(ReadSetting("BandVisibility"), 1u);
    EXPECT_FALSE(traced("browser size * by=caller"));
}

TEST_F(BandInLab, AfterClosingNoEventReachesTheBand) {
    OpenFrame(800, 600);
    ASSERT_TRUE(frame_->openBar());
    main_->navigate("http://news.example/");
    waitFor([this] { return traced("page loaded main \"http://news.example/\""); });
    frame_->closeBar();
    PumpMessages(50);
    ASSERT_EQ(Call("DllCanUnloadNow"), S_OK);
    std::size_t before = trace().lines().size();
    main_->navigate("http://other.example/");
    waitFor([this] { return traced("page loaded main \"http://other.example/\""); });
    EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);
    for (std::size_t i = before; i < trace().lines().size(); ++i) {
        EXPECT_EQ(trace().lines()[i].find("script exec"), std::string::npos)
            << "the band's neutralizer ran after the bar was closed";
    }
}

}  // namespace
}  // namespace qm::lab
