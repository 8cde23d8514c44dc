// The activity log viewer and the log settings dialog, opened from the
// "Tools" page in a plain test window, on a real log file, driven by
// messages.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "rules/resources/tools_ids.h"
#include "common/testing/memory_registry.h"
#include "common/text.h"
#include "common/win32/file_system_win32.h"
#include "guard/popup_record.h"
#include "log/log_settings_logic.h"
#include "log/log_viewer_model.h"
#include "rules/win32/band_tools.h"
#include "rules/win32/dialog_text.h"
#include "rules/win32/testing/dialog_driver.h"

namespace qm::tools {
namespace {

using qm::testing::AnswerBox;
using qm::testing::ClickNow;
using qm::testing::DialogDriver;
using qm::testing::FindDialog;
using qm::testing::PostClick;
using qm::testing::PostMouseClick;
using qm::testing::SaveScreenshot;
using qm::testing::WaitForDialog;
using qm::testing::WaitUntilGone;
using qm::testing::WindowText;

class NoPage : public ToolsHost {
public:
    std::string CurrentPageAddress() override { return {}; }
    void HoldLife() override {}
    void LetLife() override {}
};

// Popups as a user meets them; the viewer's screenshot goes into the help.
struct Popup {
    const wchar_t* url;
    const wchar_t* title;
};
const Popup kSale{L"http://ads.bannerfarm.example/summer-sale.html", L"Summer Sale - 70% Off"};
const Popup kRadar{L"http://www.dailynews.example/weather/radar.html", L"Weather Radar"};
const Popup kPrize{L"http://promo.luckydraw.example/win.asp?id=2207", L"You Have Won!"};

// A popup's log line: stopped or recorded only, at `when`.
std::string LogLine(const Popup& popup, bool stopped, LocalTime when) {
    PopupRecord record;
    record.url = popup.url;
    record.title = popup.title;
    record.sourceUrl = L"http://www.dailynews.example/index.html";
    record.stopped = stopped ? 1 : 0;
    record.timeStamp = when;
    return record.ToLogLine();
}

const LocalTime kJuly3{2002, 7, 3, 3, 16, 5, 9, 0};
const LocalTime kJuly4{2002, 7, 4, 4, 9, 30, 0, 0};
const LocalTime kNewYear{2003, 1, 3, 1, 0, 0, 1, 0};

class WineLogDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        InitCommonControls();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "qm-log-dialogs-" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        module = folder + "\\quellmark.dll";
        logPath = folder + "\\qml.dat";
        tools = std::make_unique<BandTools>(GetModuleHandleA(nullptr), host, rules, settings,
                                            win32::SystemFileSystem(), registry, module);
        page = tools->CreateToolsPage(parent.get());
        ASSERT_NE(page, nullptr);
        MoveWindow(page, 0, 0, 765, 89, TRUE);
        ShowWindow(page, SW_SHOW);
    }
    void TearDown() override {
        tools.reset();
        DeleteFileA(logPath.c_str());
        EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "something was left in " << folder;
    }

    void WriteLog(const std::string& data) {
        HANDLE file =
            CreateFileA(logPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        DWORD written = 0;
        WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
        CloseHandle(file);
    }
    std::string ReadLog() const {
        HANDLE file = CreateFileA(logPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "(no log)";
        std::string data(1 << 16, '\0');
        DWORD got = 0;
        ReadFile(file, &data[0], static_cast<DWORD>(data.size()), &got, nullptr);
        CloseHandle(file);
        data.resize(got);
        return data;
    }
    static std::string Cell(HWND list, int row, int column) {
        char text[512] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    static int Icon(HWND list, int row) {
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        return item.iImage;
    }
    static int Rows(HWND list) {
        return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    }
    static POINT RowPoint(HWND list, int row) {
        RECT r{};
        r.left = LVIR_LABEL;
        SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    static std::string Text(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }
    // "stopped/record-only/total", as the viewer shows them.
    static std::string Counts(HWND viewer) {
        return Text(viewer, IDC_STOPPED_COUNT) + "/" + Text(viewer, IDC_RECORD_ONLY_COUNT) + "/" +
               Text(viewer, IDC_TOTAL_COUNT);
    }
    std::int32_t Dword(const char* name) const {
        const qm::testing::MemoryRegistry::Value* value = registry.value(kSettingsKey, name);
        if (!value || value->data.size() != 4) return -12345;
        std::int32_t number;
        std::memcpy(&number, value->data.data(), 4);
        return number;
    }

    qm::testing::TestWindow parent{800, 160};
    NoPage host;
    RuleSet rules;
    Settings settings;
    qm::testing::MemoryRegistry registry;
    std::string folder, module, logPath;
    std::unique_ptr<BandTools> tools;
    HWND page = nullptr;
};

TEST_F(WineLogDialogs, ViewerListsNewestFirstWithCountsAndDetails) {
    const std::string lines[] = {LogLine(kSale, true, kJuly3), LogLine(kRadar, false, kJuly4),
                                 LogLine(kPrize, true, kNewYear)};
    WriteLog(lines[0] + lines[1] + lines[2]);
    PopupRecord second;
    second.FromLogLine(lines[1].substr(0, lines[1].size() - 2));
    HWND viewer = nullptr;
    DialogDriver user;
    user.Then([&] {
            PostClick(page, IDC_VIEW_LOG);
            return true;
        })
        .Then(WaitForDialog("Quellmark Activity Log", viewer))
        .Then([&] {
            HWND list = GetDlgItem(viewer, IDC_LOG_LIST);
            EXPECT_EQ(Rows(list), 3);
            EXPECT_EQ(Cell(list, 0, 0), "01/01/03 12:00:01AM");
            EXPECT_EQ(Cell(list, 0, 1), ToAnsi(kPrize.url));
            EXPECT_EQ(Cell(list, 1, 0), "07/04/02 09:30:00AM");
            EXPECT_EQ(Cell(list, 1, 1), ToAnsi(kRadar.url));
            EXPECT_EQ(Cell(list, 2, 0), "07/03/02 04:05:09PM");
            EXPECT_EQ(Cell(list, 2, 1), ToAnsi(kSale.url));
            EXPECT_EQ(Icon(list, 0), kStoppedIcon);
            EXPECT_EQ(Icon(list, 1), kRecordOnlyIcon);
            EXPECT_EQ(Icon(list, 2), kStoppedIcon);
            EXPECT_EQ(Counts(viewer), "2/1/3");
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(viewer, IDC_CLEAR_LOG)));
            EXPECT_EQ(Text(viewer, IDC_LOG_DETAILS), "");

            RECT own{}, owner{};
            GetWindowRect(viewer, &own);
            GetWindowRect(parent.get(), &owner);
            EXPECT_NEAR((own.left + own.right) / 2, (owner.left + owner.right) / 2, 1)
                << "centred over its owner";
            EXPECT_GE(own.top, 0) << "inside the work area";
            PostMouseClick(list, RowPoint(list, 1));
            return true;
        })
        .Then([&] {
            EXPECT_EQ(Text(viewer, IDC_LOG_DETAILS), ToAnsi(second.Describe()));
            SaveScreenshot(viewer, "log_viewer");
            HWND list = GetDlgItem(viewer, IDC_LOG_LIST);
            SetFocus(list);
            PostMessageA(list, WM_KEYDOWN, VK_DOWN, 1);
            PostMessageA(list, WM_KEYUP, VK_DOWN, 1);
            return true;
        })
        .Then([&] {
            EXPECT_EQ(Text(viewer, IDC_LOG_DETAILS), ToAnsi(second.Describe()))
                << "the keyboard leaves the details alone";
            HWND list = GetDlgItem(viewer, IDC_LOG_LIST);
            RECT client{};
            GetClientRect(list, &client);
            PostMouseClick(list, {client.right / 2, client.bottom - 3});
            return true;
        })
        .Then([&] {
            EXPECT_EQ(Text(viewer, IDC_LOG_DETAILS), "") << "a click beside the rows";
            PostClick(viewer, IDOK);
            return true;
        })
        .Then(WaitUntilGone("Quellmark Activity Log"));
    ASSERT_TRUE(user.Run());
    EXPECT_EQ(ReadLog(), lines[0] + lines[1] + lines[2]) << "viewing changes nothing";
}

TEST_F(WineLogDialogs, ViewerWithoutALogAndWithABusyLogIsEmpty) {
    struct Case {
        const char* label;
        bool busy;
    } cases[] = {{"no log", false}, {"a window appending", true}};
    for (const Case& c : cases) {
        HANDLE writer = INVALID_HANDLE_VALUE;
        if (c.busy) {
            WriteLog(LogLine(kSale, true, kJuly3));
            writer = CreateFileA(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr);
            ASSERT_NE(writer, INVALID_HANDLE_VALUE);
        }
        HWND viewer = nullptr;
        DialogDriver user;
        user.Then(WaitForDialog("Quellmark Activity Log", viewer)).Then([&] {
            EXPECT_EQ(Rows(GetDlgItem(viewer, IDC_LOG_LIST)), 0) << c.label;
            EXPECT_EQ(Counts(viewer), "0/0/0") << c.label;
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(viewer, IDC_CLEAR_LOG))) << c.label;
            PostClick(viewer, IDCANCEL);
            return true;
        });
        tools->ShowLogViewer();
        EXPECT_TRUE(user.Run()) << c.label;
        if (writer != INVALID_HANDLE_VALUE) {
            CloseHandle(writer);
            EXPECT_EQ(ReadLog(), LogLine(kSale, true, kJuly3)) << "a log in use is not deleted";
        }
    }
}

TEST_F(WineLogDialogs, ClearLogAsksThenDeletesTheFile) {
    WriteLog(LogLine(kSale, true, kJuly3) + LogLine(kRadar, false, kJuly4));
    const char* question =
        "Are you sure you want to clear the log?  All recorded information will be lost.";
    HWND viewer = nullptr;
    DialogDriver user;
    user.Then(WaitForDialog("Quellmark Activity Log", viewer))
        .Then([&] {
            PostClick(viewer, IDC_CLEAR_LOG);
            return true;
        })
        .Then(AnswerBox("warning", question, IDNO))
        .Then([&] {
            if (FindDialog("warning")) return false;
            EXPECT_EQ(Rows(GetDlgItem(viewer, IDC_LOG_LIST)), 2) << "No keeps the log";
            EXPECT_NE(ReadLog(), "(no log)");
            PostClick(viewer, IDC_CLEAR_LOG);
            return true;
        })
        .Then(AnswerBox("warning", question, IDYES))
        .Then([&] {
            if (FindDialog("warning")) return false;
            EXPECT_EQ(ReadLog(), "(no log)");
            EXPECT_EQ(Rows(GetDlgItem(viewer, IDC_LOG_LIST)), 0);
            EXPECT_EQ(Counts(viewer), "0/0/0");
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(viewer, IDC_CLEAR_LOG)));
            PostClick(viewer, IDOK);
            return true;
        });
    tools->ShowLogViewer();
    ASSERT_TRUE(user.Run());
}

TEST_F(WineLogDialogs, SettingsRefuseBadNumbersThenSaveInOrderAndTrimAtOnce) {
    registry.addKey(kSettingsKey);
    settings.LogStopped = 1;
    settings.LogRecorded = 0;
    settings.MaxLogSize = 10;
    settings.LogFullAction = 1;
    auto line = [](char c) { return std::string(300, c) + "\r\n"; };
    WriteLog(line('a') + line('b') + line('c') + line('d'));
    HWND dialog = nullptr;
    DialogDriver user;
    user.Then([&] {
            PostClick(page, IDC_LOG_OPTIONS);
            return true;
        })
        .Then(WaitForDialog("Quellmark Log Settings", dialog))
        .Then([&] {
            EXPECT_TRUE(IsTicked(dialog, IDC_LOG_STOPPED));
            EXPECT_FALSE(IsTicked(dialog, IDC_LOG_RECORDED));
            EXPECT_EQ(Text(dialog, IDC_MAX_LOG_SIZE), "10");
            EXPECT_FALSE(IsTicked(dialog, IDC_REMOVE_OLDEST));
            EXPECT_TRUE(IsTicked(dialog, IDC_STOP_RECORDING));
            EXPECT_FALSE(IsTicked(dialog, IDC_CLEAR_ALL));
            SaveScreenshot(dialog, "log_settings");
            return true;
        });
    for (const char* bad : {"64", "1.5", "-1"}) {
        user.Then([&, bad] {
                SetDlgItemTextA(dialog, IDC_MAX_LOG_SIZE, bad);
                PostClick(dialog, IDOK);
                return true;
            })
            .Then(AnswerBox("bad number", "please enter an integer between 0 and 63", IDOK))
            .Then([&, bad] {
                if (FindDialog("bad number")) return false;
                EXPECT_TRUE(IsWindowVisible(dialog)) << bad;
                EXPECT_EQ(Text(dialog, IDC_MAX_LOG_SIZE), bad) << "the text stays";
                EXPECT_TRUE(registry.values(kSettingsKey).empty()) << bad;
                return true;
            });
    }
    user.Then([&] {
        SetDlgItemTextA(dialog, IDC_MAX_LOG_SIZE, "1");
        ClickNow(dialog, IDC_REMOVE_OLDEST);
        ClickNow(dialog, IDC_LOG_RECORDED);
        PostClick(dialog, IDOK);
        return true;
    });
    ASSERT_TRUE(user.Run());
    EXPECT_EQ(settings.LogStopped, 1);
    EXPECT_EQ(settings.LogRecorded, 1);
    EXPECT_EQ(settings.MaxLogSize, 1);
    EXPECT_EQ(settings.LogFullAction, 0);
    std::vector<std::string> order;
    for (const auto& value : registry.values(kSettingsKey)) order.push_back(value.first);
    EXPECT_EQ(order, (std::vector<std::string>{"LogStopped", "LogRecorded", "MaxLogSize",
                                               "LogFullAction"}));
    EXPECT_EQ(Dword("LogRecorded"), 1);
    EXPECT_EQ(Dword("MaxLogSize"), 1);
    EXPECT_EQ(Dword("LogFullAction"), 0);
    EXPECT_EQ(ReadLog(), line('b') + line('c') + line('d')) << "trimmed at once";
}

TEST_F(WineLogDialogs, SettingsCancelChangesNothingAndAnEmptySizeIsZero) {
    registry.addKey(kSettingsKey);
    const std::string log = LogLine(kSale, true, kJuly3);
    WriteLog(log);
    HWND dialog = nullptr;
    DialogDriver cancel;
    cancel.Then(WaitForDialog("Quellmark Log Settings", dialog)).Then([&] {
        SetDlgItemTextA(dialog, IDC_MAX_LOG_SIZE, "0");
        ClickNow(dialog, IDC_LOG_STOPPED);
        ClickNow(dialog, IDC_CLEAR_ALL);
        PostClick(dialog, IDCANCEL);
        return true;
    });
    tools->ShowLogSettings();
    ASSERT_TRUE(cancel.Run());
    EXPECT_EQ(settings.LogStopped, 1);
    EXPECT_EQ(settings.MaxLogSize, 10);
    EXPECT_EQ(settings.LogFullAction, 0);
    EXPECT_TRUE(registry.values(kSettingsKey).empty());
    EXPECT_EQ(ReadLog(), log);

    DialogDriver empty;
    empty.Then(WaitForDialog("Quellmark Log Settings", dialog)).Then([&] {
        EXPECT_TRUE(IsTicked(dialog, IDC_REMOVE_OLDEST));
        SetDlgItemTextA(dialog, IDC_MAX_LOG_SIZE, "");
        PostClick(dialog, IDOK);
        return true;
    });
    tools->ShowLogSettings();
    ASSERT_TRUE(empty.Run());
    EXPECT_EQ(settings.MaxLogSize, 0);
    EXPECT_EQ(Dword("MaxLogSize"), 0);
    EXPECT_EQ(ReadLog(), "") << "0 Kb removing the oldest entries leaves an empty log";
}

}  // namespace
}  // namespace qm::tools
