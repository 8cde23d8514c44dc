// The "Tools" page with the rule editor and the rule book behind it, hosted
// in a plain test window and driven by messages as a user would drive them.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "rules/resources/tools_ids.h"
#include "common/testing/memory_registry.h"
#include "common/win32/file_system_win32.h"
#include "rules/win32/band_tools.h"
#include "rules/rule_editor_logic.h"
#include "rules/rules_file.h"
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
using qm::testing::TypeInto;
using qm::testing::WaitForDialog;
using qm::testing::WindowText;

class FakeHost : public ToolsHost {
public:
    std::string CurrentPageAddress() override {
        ++asked;
        return address;
    }
    void HoldLife() override { ++holds; }
    void LetLife() override { --holds; }
    std::string address = "http://www.page.com/news/today.html";
    int asked = 0;
    int holds = 0;
};

class WineToolsPage : public ::testing::Test {
protected:
    void SetUp() override {
        InitCommonControls();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder = std::string(temp) + "qm-tools-test-" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        module = folder + "\\quellmark.dll";
        rulesPath = folder + "\\qmr.dat";
    }
    void TearDown() override {
        EXPECT_EQ(host.holds, 0) << "the page's handlers hold and let the band in pairs";
        tools.reset();
        DeleteFileA(rulesPath.c_str());
        EXPECT_TRUE(RemoveDirectoryA(folder.c_str())) << "something was left in " << folder;
    }

    // The band as it starts: its rules those of the file.
    void Open(const std::vector<Rule>& start) {
        for (const Rule& rule : start) rules.append(rule);
        if (!rules.empty()) {
            std::unique_ptr<FileLock> lock = LockRulesFile(win32::SystemFileSystem(), module);
            ASSERT_EQ(WriteRulesFile(win32::SystemFileSystem(), module, rules), nullptr);
        }
        tools = std::make_unique<BandTools>(GetModuleHandleA(nullptr), host, rules, settings,
                                            win32::SystemFileSystem(), registry, module);
        page = tools->CreateToolsPage(parent.get());
        ASSERT_NE(page, nullptr);
        MoveWindow(page, 0, 0, 765, 89, TRUE);
        ShowWindow(page, SW_SHOW);
    }

    HWND List(bool isWhite) const {
        return GetDlgItem(page, isWhite ? IDC_WHITE_LIST : IDC_BLACK_LIST);
    }
    std::vector<std::string> Names(bool isWhite) const {
        std::vector<std::string> names;
        int count = static_cast<int>(SendMessageA(List(isWhite), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            char text[300] = {};
            LVITEMA item{};
            item.iSubItem = 0;
            item.pszText = text;
            item.cchTextMax = sizeof text;
            SendMessageA(List(isWhite), LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
            names.push_back(text);
        }
        return names;
    }
    std::vector<int> Icons(bool isWhite) const {
        std::vector<int> icons;
        int count = static_cast<int>(SendMessageA(List(isWhite), LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            LVITEMA item{};
            item.mask = LVIF_IMAGE;
            item.iItem = i;
            SendMessageA(List(isWhite), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            icons.push_back(item.iImage);
        }
        return icons;
    }
    int Selected(bool isWhite) const {
        return static_cast<int>(SendMessageA(List(isWhite), LVM_GETNEXTITEM, -1, LVNI_SELECTED));
    }
    // The middle of a row's label, in the list's client coordinates.
    POINT RowPoint(bool isWhite, int row) const {
        RECT r{};
        r.left = LVIR_LABEL;
        SendMessageA(List(isWhite), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // Below the last row.
    POINT BesideRows(bool isWhite) const {
        RECT client{};
        GetClientRect(List(isWhite), &client);
        return {client.right / 2, client.bottom - 3};
    }
    bool Enabled(int id) const { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
    std::string Text(HWND dialog, int id) const { return WindowText(GetDlgItem(dialog, id)); }
    std::string FileBytes() const {
        HANDLE file = CreateFileA(rulesPath.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE) return "(no file)";
        std::string data(1 << 16, '\0');
        DWORD got = 0;
        ReadFile(file, &data[0], static_cast<DWORD>(data.size()), &got, nullptr);
        CloseHandle(file);
        data.resize(got);
        return data;
    }

    qm::testing::TestWindow parent{800, 160};
    FakeHost host;
    RuleSet rules;
    Settings settings;
    qm::testing::MemoryRegistry registry;
    std::string folder, module, rulesPath;
    std::unique_ptr<BandTools> tools;
    HWND page = nullptr;
};

TEST_F(WineToolsPage, AddNewOnTheWhiteListStartsFromThePageAndNamesAsTheUserTicks) {
    Open({});
    ASSERT_FALSE(HasFatalFailure());
    HWND editor = nullptr;
    DialogDriver user;
    user.Then([&] {
            PostClick(page, IDC_WHITE_ADD);
            return true;
        })
        .Then(WaitForDialog("Add Rule to White List", editor))
        .Then([&] {
            EXPECT_EQ(Text(editor, IDC_POPUP_LOCATION), "");
            EXPECT_EQ(Text(editor, IDC_SOURCE_LOCATION), host.address);
            EXPECT_EQ(Text(editor, IDC_RULE_NAME), "Unnamed Rule");
            EXPECT_EQ(Text(editor, IDC_POPUP_CONDITION_LABEL), "Always ALLOW popups:");
            EXPECT_EQ(Text(editor, IDC_SOURCE_CONDITION_LABEL), "Always ALLOW popups:");
            for (int box : {IDC_POPUP_EXACT, IDC_POPUP_DOMAIN, IDC_SOURCE_EXACT, IDC_SOURCE_DOMAIN,
                            IDC_RULE_OFF}) {
                EXPECT_FALSE(IsTicked(editor, box)) << box;
            }
            EXPECT_TRUE(IsTicked(editor, IDC_RULE_ON));
            SaveScreenshot(editor, "rule_editor");

            TypeInto(editor, IDC_POPUP_LOCATION, "http://www.ads.com/pop/up.html");
            EXPECT_EQ(Text(editor, IDC_RULE_NAME), "Unnamed Rule") << "no box is ticked yet";
            ClickNow(editor, IDC_POPUP_DOMAIN);
            EXPECT_TRUE(IsTicked(editor, IDC_POPUP_EXACT));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, IDC_POPUP_EXACT)));
            EXPECT_EQ(Text(editor, IDC_RULE_NAME), "TO entire ads.com domain");
            ClickNow(editor, IDC_POPUP_DOMAIN);
            EXPECT_TRUE(IsTicked(editor, IDC_POPUP_EXACT));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(editor, IDC_POPUP_EXACT)));
            EXPECT_EQ(Text(editor, IDC_RULE_NAME), "TO ads.com ... up.html");

            TypeInto(editor, IDC_RULE_NAME, "ads");
            ClickNow(editor, IDC_POPUP_DOMAIN);
            TypeInto(editor, IDC_POPUP_LOCATION, "http://www.other.org/");
            EXPECT_EQ(Text(editor, IDC_RULE_NAME), "ads") << "a typed name survives";
            PostClick(editor, IDOK);
            return true;
        });
    ASSERT_TRUE(user.Run());
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].flags, White | On | PopupExact | PopupDomain);
    EXPECT_EQ(rules[0].name, "ads");
    EXPECT_EQ(rules[0].popupLocation, "http://www.other.org/");
    EXPECT_EQ(rules[0].sourceLocation, host.address);
    EXPECT_EQ(Names(true), std::vector<std::string>{"ads"});
    EXPECT_TRUE(Names(false).empty());
    EXPECT_EQ(FileBytes(), EncodeRules(rules));
}

TEST_F(WineToolsPage, UrlCheckRefusesOkAndCancelStillRewritesTheFile) {
    Open({{White | On | SourceExact, "w", "", "P://S"}});
    ASSERT_FALSE(HasFatalFailure());
    HWND editor = nullptr;
    DialogDriver user;
    user.Then([&] {
            PostClick(page, IDC_BLACK_ADD);
            return true;
        })
        .Then(WaitForDialog("Add Rule to Black List", editor))
        .Then([&] {
            EXPECT_EQ(Text(editor, IDC_POPUP_CONDITION_LABEL), "Always DENY popups:");
            EXPECT_EQ(Text(editor, IDC_SOURCE_CONDITION_LABEL), "Always DENY popups:");
            ClickNow(editor, IDC_POPUP_EXACT);
            ClickNow(editor, IDC_SOURCE_EXACT);
            PostClick(editor, IDOK);
            return true;
        })
        .Then(AnswerBox("error", kMissingUrlMessage, IDOK))
        .Then([&] {
            if (FindDialog("error")) return false;
            EXPECT_TRUE(IsWindowVisible(editor)) << "the editor stays open";
            PostClick(editor, IDCANCEL);
            return true;
        });
    ASSERT_TRUE(user.Run());
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(Names(true), std::vector<std::string>{"w"});
    EXPECT_TRUE(Names(false).empty());
    EXPECT_EQ(FileBytes(), EncodeRules(rules)) << "cancelling saves the rules as they are";
}

TEST_F(WineToolsPage, EachListShowsItsOwnRulesInRuleSetOrder) {
    // Rules as a user makes them: the screenshot goes into the help.
    const char* whiteNames[] = {"TO entire mybank.example domain",
                                "FROM entire weather.example domain", "Webmail attachments"};
    const char* blackNames[] = {"FROM www.freegames.example ... index.html",
                                "TO ads.luckydraw.example ... win.asp"};
    Open({
        {White | On | PopupDomain | PopupExact, whiteNames[0], "http://www.mybank.example/", ""},
        {On | SourceExact, blackNames[0], "", "http://www.freegames.example/index.html"},
        {White | SourceDomain | SourceExact, whiteNames[1], "", "http://www.weather.example/"},
        {PopupExact, blackNames[1], "http://ads.luckydraw.example/win.asp", ""},
        {White | On | SourceExact, whiteNames[2], "", "http://mail.example/inbox.html"},
    });
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(Names(true),
              (std::vector<std::string>(std::begin(whiteNames), std::end(whiteNames))));
    EXPECT_EQ(Names(false),
              (std::vector<std::string>(std::begin(blackNames), std::end(blackNames))));
    EXPECT_EQ(Icons(true), (std::vector<int>{7, 2, 1}));
    EXPECT_EQ(Icons(false), (std::vector<int>{1, 4}));
    for (int id : {IDC_WHITE_EDIT, IDC_WHITE_DELETE, IDC_BLACK_EDIT, IDC_BLACK_DELETE}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    for (int id : {IDC_WHITE_ADD, IDC_BLACK_ADD, IDC_VIEW_LOG, IDC_LOG_OPTIONS}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    SaveScreenshot(page, "tools_page");
}

TEST_F(WineToolsPage, DeletingOneOfTwoIdenticalRulesRemovesTheFirst) {
    const Rule twin{White | On | PopupExact, "twin", "P://T", ""};
    const Rule black{On | SourceExact, "black", "", "P://B"};
    Open({twin, black, twin});
    ASSERT_FALSE(HasFatalFailure());
    DialogDriver user;
    user.Then([&] {
            PostMouseClick(List(true), RowPoint(true, 1));
            return true;
        })
        .Then([&] {
            EXPECT_TRUE(Enabled(IDC_WHITE_DELETE));
            PostClick(page, IDC_WHITE_DELETE);
            return true;
        })
        .Then(AnswerBox("verify", "are you sure you want to delete this rule?", IDNO))
        .Then([&] {
            if (FindDialog("verify")) return false;
            EXPECT_EQ(rules.size(), 3u) << "No keeps the rule";
            PostClick(page, IDC_WHITE_DELETE);
            return true;
        })
        .Then(AnswerBox("verify", "are you sure you want to delete this rule?", IDYES));
    ASSERT_TRUE(user.Run());
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_TRUE(rules[0] == black);
    EXPECT_TRUE(rules[1] == twin);
    EXPECT_EQ(Names(true), std::vector<std::string>{"twin"});
    EXPECT_EQ(FileBytes(), EncodeRules(rules));
}

TEST_F(WineToolsPage, OnlyAMouseClickOnARuleOffersEditRuleAndDelete) {
    Open({{White | On | SourceExact, "first", "", "P://A"},
          {White | On | SourceExact, "second", "", "P://B"}});
    ASSERT_FALSE(HasFatalFailure());
    HWND editor = nullptr;
    DialogDriver user;
    user.Then([&] {
            SetFocus(List(true));
            PostMessageA(List(true), WM_KEYDOWN, VK_DOWN, 1);
            PostMessageA(List(true), WM_KEYUP, VK_DOWN, 1);
            return true;
        })
        .Then([&] {
            EXPECT_GE(Selected(true), 0) << "the keyboard selects";
            EXPECT_FALSE(Enabled(IDC_WHITE_EDIT)) << "but offers no editing";
            EXPECT_FALSE(Enabled(IDC_WHITE_DELETE));
            PostMouseClick(List(true), RowPoint(true, 0));
            return true;
        })
        .Then([&] {
            EXPECT_TRUE(Enabled(IDC_WHITE_EDIT));
            EXPECT_TRUE(Enabled(IDC_WHITE_DELETE));
            EXPECT_FALSE(Enabled(IDC_BLACK_EDIT)) << "the other list is not concerned";
            PostMouseClick(List(true), BesideRows(true));
            return true;
        })
        .Then([&] {
            EXPECT_FALSE(Enabled(IDC_WHITE_EDIT)) << "a click beside the rows";
            PostMouseClick(List(true), RowPoint(true, 1));
            return true;
        })
        .Then([&] {
            EXPECT_TRUE(Enabled(IDC_WHITE_EDIT));
            PostClick(page, IDC_WHITE_EDIT);
            return true;
        })
        .Then(WaitForDialog("Edit White List Rule", editor))
        .Then([&] {
            EXPECT_EQ(Text(editor, IDC_RULE_NAME), "second");
            EXPECT_EQ(Text(editor, IDC_SOURCE_LOCATION), "P://B");
            EXPECT_TRUE(IsTicked(editor, IDC_SOURCE_EXACT));
            PostClick(editor, IDCANCEL);
            return true;
        })
        .Then([&] {
            if (FindDialog("Edit White List Rule")) return false;
            EXPECT_EQ(Selected(true), -1) << "the lists were refilled";
            PostClick(page, IDC_WHITE_EDIT);
            return true;
        })
        .Then(AnswerBox("error", "a rule must be selected before it can be edited", IDOK))
        .Then([&] {
            PostClick(page, IDC_WHITE_DELETE);
            return true;
        })
        .Then(AnswerBox("error", "a rule must be selected before it can be deleted", IDOK));
    ASSERT_TRUE(user.Run());
    EXPECT_EQ(rules.size(), 2u);
}

TEST_F(WineToolsPage, DoubleClickEditsTheRuleKeepsItsNameAndOffersNothingAfter) {
    Open({{White | On | PopupExact, "white", "P://W", ""},
          {On | PopupDomain | PopupExact, "named", "http://ads.D.T/x", ""}});
    ASSERT_FALSE(HasFatalFailure());
    HWND editor = nullptr;
    DialogDriver user;
    user.Then([&] {
            PostMouseClick(List(false), RowPoint(false, 0), true);
            return true;
        })
        .Then(WaitForDialog("Edit Black List Rule", editor))
        .Then([&] {
            EXPECT_EQ(Text(editor, IDC_RULE_NAME), "named");
            EXPECT_TRUE(IsTicked(editor, IDC_POPUP_EXACT));
            EXPECT_FALSE(IsWindowEnabled(GetDlgItem(editor, IDC_POPUP_EXACT)));
            EXPECT_TRUE(IsWindowEnabled(GetDlgItem(editor, IDC_SOURCE_EXACT)));
            ClickNow(editor, IDC_POPUP_DOMAIN);
            EXPECT_EQ(Text(editor, IDC_RULE_NAME), "named") << "an edited name stays";
            ClickNow(editor, IDC_RULE_OFF);
            PostClick(editor, IDOK);
            return true;
        });
    ASSERT_TRUE(user.Run());
    ASSERT_EQ(rules.size(), 2u);
    EXPECT_EQ(rules[1].flags, PopupExact);
    EXPECT_EQ(rules[1].name, "named");
    EXPECT_EQ(Icons(false), std::vector<int>{4});
    EXPECT_FALSE(Enabled(IDC_BLACK_EDIT));
    EXPECT_FALSE(Enabled(IDC_BLACK_DELETE));
    EXPECT_EQ(FileBytes(), EncodeRules(rules));
}

TEST_F(WineToolsPage, AddPopupToAListPrefillsBothAddressesAndNamesAnEmptiedRule) {
    Open({});
    ASSERT_FALSE(HasFatalFailure());
    HWND editor = nullptr;
    DialogDriver user;
    user.Then(WaitForDialog("Add Rule to Black List", editor)).Then([&] {
        EXPECT_EQ(Text(editor, IDC_POPUP_LOCATION), "http://pop.ads.com/win/dow.html");
        EXPECT_EQ(Text(editor, IDC_SOURCE_LOCATION), "http://www.site.org/");
        ClickNow(editor, IDC_POPUP_EXACT);
        EXPECT_EQ(Text(editor, IDC_RULE_NAME), "TO ads.com ... dow.html");
        TypeInto(editor, IDC_RULE_NAME, "");
        PostClick(editor, IDOK);
        return true;
    });
    tools->AddRule(On, "http://pop.ads.com/win/dow.html", "http://www.site.org/");
    ASSERT_TRUE(user.Run());
    EXPECT_EQ(host.asked, 0) << "the popup's own source is kept";
    ASSERT_EQ(rules.size(), 1u);
    EXPECT_EQ(rules[0].flags, On | PopupExact);
    EXPECT_EQ(rules[0].name, "ads.com ... dow.html") << "the fallback name, not the summary";
    EXPECT_EQ(Names(false), std::vector<std::string>{"ads.com ... dow.html"});
}

}  // namespace
}  // namespace qm::tools
