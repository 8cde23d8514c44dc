// The "Popup Windows" page in the band, driven by messages: rows of kept
// records, the views, "Clear Log", a double click reopening a record, the
// band's context menu and the column widths.

#include <windows.h>
#include <commctrl.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>

#include "band/resources/face_ids.h"
#include "band/win32/testing/face_harness.h"

namespace qm::band {
namespace {

using testing::FaceHarness;
using testing::Pump;
using testing::StoredSetting;

constexpr int kWidth = 760;

PopupRecord Record(const wchar_t* title, std::int32_t height, std::int32_t width, std::int32_t left,
                   std::int32_t top) {
    PopupRecord record;
    record.title = title;
    record.url = std::wstring(L"http://ads.example/") + title;
    record.sourceUrl = L"http://news.example/front";
    record.targetName = L"promo";
    record.height = height;
    record.width = width;
    record.left = left;
    record.top = top;
    return record;
}

class PopupListPageTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::DeleteSettingsKey();
        harness = std::make_unique<FaceHarness>(kWidth);
        list = harness->PageControl(IDC_POPUP_LIST);
        ASSERT_TRUE(list);
    }
    void TearDown() override {
        harness.reset();
        testing::DeleteSettingsKey();
    }

    int Rows() const { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
    std::string Cell(int row, int column) const {
        char text[256] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
        return text;
    }
    DWORD View() const { return GetWindowLongA(list, GWL_STYLE) & LVS_TYPEMASK; }
    void PointAtRow(int row) {
        RECT r = {LVIR_LABEL};
        SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&r));
        POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(list, &p);
        testing::MovePointer(p.x, p.y);
    }
    void Select(int row) {
        LVITEMA item{};
        item.stateMask = LVIS_SELECTED;
        item.state = LVIS_SELECTED;
        SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
    }

    // The items the band adds to an empty menu: "text" or "text [checked]"
    // or "-", with the offsets.
    struct MenuItem {
        std::string text;
        UINT offset;
        bool checked;
    };
    std::vector<MenuItem> Menu(HRESULT* result = nullptr, UINT flags = CMF_NORMAL) {
        HMENU menu = CreatePopupMenu();
        HRESULT hr = harness->face.QueryContextMenu(menu, 0, 100, 200, flags);
        if (result) *result = hr;
        std::vector<MenuItem> items;
        for (int i = 0; i < GetMenuItemCount(menu); ++i) {
            char text[128] = {};
            MENUITEMINFOA info{};
            info.cbSize = sizeof info;
            info.fMask = MIIM_TYPE | MIIM_ID | MIIM_STATE;
            info.dwTypeData = text;
            info.cch = sizeof text;
            GetMenuItemInfoA(menu, i, TRUE, &info);
            if (info.fType & MFT_SEPARATOR) {
                items.push_back({"-", 0, false});
            } else {
                items.push_back({text, info.wID - 100, (info.fState & MFS_CHECKED) != 0});
            }
        }
        DestroyMenu(menu);
        return items;
    }
    static std::string Texts(const std::vector<MenuItem>& items) {
        std::string all;
        for (const MenuItem& item : items) {
            all += (all.empty() ? "" : "|") + item.text + (item.checked ? "*" : "");
        }
        return all;
    }
    HRESULT Invoke(UINT_PTR offset) {
        CMINVOKECOMMANDINFO info{};
        info.cbSize = sizeof info;
        info.lpVerb = reinterpret_cast<LPCSTR>(offset);
        return harness->face.InvokeCommand(&info);
    }

    std::unique_ptr<FaceHarness> harness;
    HWND list = nullptr;
};

TEST_F(PopupListPageTest, RecordsAppearNewestFirstWithTheirColumnTexts) {
    harness->Keep(Record(L"first", 99, 100, 0, -1));
    harness->Keep(Record(L"second", 300, 250, 40, 20));
    ASSERT_EQ(Rows(), 2);
    const struct {
        int row;
        const char* cells[7];
    } expected[] = {
        {0, {"second", "http://ads.example/second", "300", "250", "40", "20", "-"}},
        {1, {"first", "http://ads.example/first", "-", "100", "0", "-", "-"}},
    };
    for (const auto& e : expected) {
        for (int column = 0; column < 7; ++column) {
            EXPECT_EQ(Cell(e.row, column), e.cells[column]) << e.row << "," << column;
        }
    }
}

TEST_F(PopupListPageTest, ClearLogEmptiesTheListAndNewRecordsComeAtTheTopAgain) {
    harness->Keep(Record(L"one", 300, 300, 0, 0));
    harness->Keep(Record(L"two", 300, 300, 0, 0));
    EXPECT_EQ(Invoke(5), S_OK);
    EXPECT_EQ(Rows(), 0);
    EXPECT_TRUE(harness->host.records.empty());
    EXPECT_EQ(harness->host.clearCalls, 1);

    // A double click on the empty list opens nothing.
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(20, 30));
    Pump(20);
    EXPECT_TRUE(harness->host.opened.empty());

    harness->Keep(Record(L"three", 300, 300, 0, 0));
    harness->Keep(Record(L"four", 300, 300, 0, 0));
    ASSERT_EQ(Rows(), 2);
    EXPECT_EQ(Cell(0, 0), "four");
}

TEST_F(PopupListPageTest, DoubleClickOpensACopyOfTheRecord) {
    const PopupRecord& kept = harness->Keep(Record(L"deal", 300, 200, 10, 20));
    harness->Keep(Record(L"other", 300, 200, 10, 20));
    RECT r = {LVIR_BOUNDS};
    SendMessageA(list, LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&r));
    const LPARAM where = MAKELPARAM(r.left + 20, (r.top + r.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, where);
    SendMessageA(list, WM_LBUTTONUP, 0, where);
    SendMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, where);
    SendMessageA(list, WM_LBUTTONUP, 0, where);
    Pump(20);
    ASSERT_EQ(harness->host.opened.size(), 1u);
    const PopupRecord& opened = harness->host.opened[0];
    EXPECT_NE(&opened, &kept);
    EXPECT_EQ(opened.url, L"http://ads.example/deal");
    EXPECT_EQ(opened.targetName, L"promo");
    EXPECT_EQ(opened.OpenFeatures(true), kept.OpenFeatures(true));
    EXPECT_EQ(harness->host.records.size(), 2u);
}

TEST_F(PopupListPageTest, ViewModesAreSavedAndCheckedInTheMenu) {
    harness->Keep(Record(L"row", 300, 300, 0, 0));
    // The stored view (small icons by default) is shown at start, unsaved.
    EXPECT_EQ(View(), static_cast<DWORD>(LVS_SMALLICON));
    PointAtRow(0);
    EXPECT_EQ(Texts(Menu()),
              "Large Icons|Small Icons*|List|Report|-|Clear Log|-|Add Popup to White List|"
              "Add Popup to Black List|-|About Quellmark|-");

    const struct {
        UINT offset;
        DWORD style;
        DWORD stored;
        const char* checked;
    } cases[] = {
        {4, LVS_REPORT, 3, "Report"},
        {1, LVS_ICON, 0, "Large Icons"},
        {3, LVS_LIST, 2, "List"},
        {2, LVS_SMALLICON, 1, "Small Icons"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Invoke(c.offset), S_OK);
        EXPECT_EQ(View(), c.style) << c.offset;
        EXPECT_EQ(StoredSetting("PopupListView"), c.stored);
        EXPECT_EQ(harness->host.settings.PopupListView, static_cast<std::int32_t>(c.stored));
        PointAtRow(0);
        for (const MenuItem& item : Menu()) {
            if (item.checked) {
                EXPECT_EQ(item.text, c.checked);
            }
        }
    }
}

TEST_F(PopupListPageTest, MenuItemsFollowThePageTheBandSizeAndThePointer) {
    harness->Keep(Record(L"row", 300, 300, 0, 0));
    HRESULT hr = E_FAIL;

    // Over a row: everything, 11 identifiers used.
    PointAtRow(0);
    std::vector<MenuItem> items = Menu(&hr);
    EXPECT_EQ(HRESULT_CODE(hr), 11);
    std::vector<UINT> offsets;
    for (const MenuItem& item : items) {
        if (item.text != "-") offsets.push_back(item.offset);
    }
    EXPECT_EQ(offsets, (std::vector<UINT>{1, 2, 3, 4, 5, 6, 7, 9}));

    // In the list below the rows: no rule items.
    RECT client;
    GetClientRect(list, &client);
    POINT below = {client.right / 2, client.bottom - 3};
    ClientToScreen(list, &below);
    testing::MovePointer(below.x, below.y);
    EXPECT_EQ(Texts(Menu()),
              "Large Icons|Small Icons*|List|Report|-|Clear Log|-|About Quellmark|-");

    // Outside the list: only the About item.
    RECT minitab;
    GetWindowRect(harness->Minitab(), &minitab);
    testing::MovePointer(minitab.right - 50, minitab.top + 30);
    EXPECT_EQ(Texts(Menu(&hr)), "About Quellmark|-");
    EXPECT_EQ(HRESULT_CODE(hr), 11);

    // The default item alone: nothing.
    PointAtRow(0);
    EXPECT_EQ(Texts(Menu(&hr, CMF_DEFAULTONLY)), "");
    EXPECT_EQ(hr, S_OK);

    // Another page: nothing.
    harness->Click(harness->Control(IDC_TAB_PREFERENCES));
    EXPECT_EQ(Texts(Menu(&hr)), "");
    EXPECT_EQ(HRESULT_CODE(hr), 0);

    // Minimised on the "Popup Windows" page: only the About item.
    harness->Click(harness->Control(IDC_TAB_POPUP_WINDOWS));
    harness->Click(harness->Control(IDC_TAB_POPUP_WINDOWS));
    ASSERT_EQ(harness->host.settings.BandVisibility, 0);
    PointAtRow(0);
    EXPECT_EQ(Texts(Menu()), "About Quellmark|-");
}

TEST_F(PopupListPageTest, RuleCommandsAddTheSelectedRecordsAddresses) {
    harness->Keep(Record(L"kept", 300, 300, 0, 0));
    // No row selected: nothing.
    EXPECT_EQ(Invoke(6), S_OK);
    EXPECT_EQ(Invoke(7), S_OK);
    EXPECT_TRUE(harness->host.rules.empty());

    Select(0);
    EXPECT_EQ(Invoke(6), S_OK);
    EXPECT_EQ(Invoke(7), S_OK);
    ASSERT_EQ(harness->host.rules.size(), 2u);
    EXPECT_EQ(harness->host.rules[0].flags, 0x30);
    EXPECT_EQ(harness->host.rules[1].flags, 0x20);
    for (const auto& rule : harness->host.rules) {
        EXPECT_EQ(rule.popupAddress, "http://ads.example/kept");
        EXPECT_EQ(rule.sourceAddress, "http://news.example/front");
    }
}

TEST_F(PopupListPageTest, CommandArgumentsAndTheirStrings) {
    const struct {
        UINT_PTR offset;
        HRESULT result;
    } invokes[] = {{0, E_INVALIDARG}, {8, S_OK}, {10, E_INVALIDARG}, {0x1234, E_INVALIDARG}};
    for (const auto& c : invokes) EXPECT_EQ(Invoke(c.offset), c.result) << c.offset;
    CMINVOKECOMMANDINFO verb{};
    verb.cbSize = sizeof verb;
    verb.lpVerb = "open";
    EXPECT_EQ(harness->face.InvokeCommand(&verb), E_INVALIDARG);
    EXPECT_EQ(harness->face.InvokeCommand(nullptr), E_INVALIDARG);

    const struct {
        UINT_PTR offset;
        UINT type;
        UINT size;
        HRESULT result;
        const char* text;
    } strings[] = {
        {5, GCS_VERBA, 64, S_OK, "Clear Log"},
        {5, GCS_HELPTEXTA, 64, S_OK, "Clear Log"},
        {9, GCS_VERBA, 64, S_OK, "About Quellmark"},
        {6, GCS_VERBA, 8, S_OK, "Add Pop"},
        {1, GCS_VERBA, 64, S_OK, "Large Icons"},
        {4, GCS_HELPTEXTA, 64, S_OK, "Report"},
        {7, GCS_VALIDATEA, 64, S_OK, ""},
        {8, GCS_VERBA, 64, E_INVALIDARG, ""},
        {10, GCS_VALIDATEA, 64, E_INVALIDARG, ""},
        {5, GCS_VERBW, 64, E_INVALIDARG, ""},
        {5, GCS_HELPTEXTW, 64, E_INVALIDARG, ""},
    };
    for (const auto& c : strings) {
        char text[64] = {};
        EXPECT_EQ(harness->face.GetCommandString(c.offset, c.type, text, c.size), c.result)
            << c.offset << "/" << c.type;
        EXPECT_STREQ(text, c.text) << c.offset << "/" << c.type;
    }
}

TEST_F(PopupListPageTest, ColumnsScaleBelowTheirNaturalWidthsAndKeepTheUsersWidths) {
    const int scrollBar = GetSystemMetrics(SM_CXVSCROLL);
    HWND page = GetParent(list);
    auto widths = [&] {
        std::vector<int> all;
        for (int i = 0; i < 7; ++i) {
            all.push_back(static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, i, 0)));
        }
        return all;
    };
    auto sizePage = [&](int width) {
        SetWindowPos(page, nullptr, 0, 0, width, 80, SWP_NOMOVE | SWP_NOZORDER);
    };
    EXPECT_EQ(Invoke(4), S_OK);
    sizePage(600 + scrollBar);
    EXPECT_EQ(widths(), (std::vector<int>{101, 149, 47, 47, 47, 47, 149}));
    sizePage(601 + scrollBar);
    EXPECT_EQ(widths(), (std::vector<int>{100, 150, 50, 50, 50, 50, 150}));

    // The user widens the title column: its width becomes natural.
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(170, 0));
    NMHEADERA drag{};
    drag.hdr.hwndFrom = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    drag.hdr.code = HDN_ENDTRACKA;
    SendMessageA(page, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&drag));
    Pump(20);
    sizePage(400 + scrollBar);
    // Shares of a total of 672: 25, 22, 7, 7, 7, 7, 22 percent of 400.
    EXPECT_EQ(widths(), (std::vector<int>{99, 87, 27, 27, 27, 27, 87}));
    sizePage(700 + scrollBar);
    EXPECT_EQ(widths(), (std::vector<int>{170, 150, 50, 50, 50, 50, 150}));
}

TEST_F(PopupListPageTest, Screenshot) {
    // Popups as a user meets them: the screenshot goes into the help.
    PopupRecord cruise = Record(L"Win a free cruise!", 300, 250, 100, 100);
    cruise.url = L"http://promo.travelwin.example/cruise.html";
    harness->Keep(cruise);
    PopupRecord bare = Record(L"Casino Royale Online", 400, 600, -1, -1);
    bare.url = L"http://ads.casinoroyale.example/play.asp?ref=17";
    bare.toolbar = 0;
    bare.menubar = 0;
    harness->Keep(bare);
    PopupRecord deals = Record(L"Hot deals of the day", 120, 468, 0, 0);
    deals.url = L"http://ads.example/deals/today.html";
    harness->Keep(deals);
    harness->host.status = "session statistics: 3 stopped popups";
    harness->face.ShowStatus(harness->host.status);
    testing::SaveScreenshot("band_maximised_popup_windows_small", harness->frame);
    EXPECT_EQ(Invoke(4), S_OK);
    testing::SaveScreenshot("band_maximised_popup_windows", harness->frame);
    harness->Click(harness->Control(IDC_TAB_TOOLS));
    testing::SaveScreenshot("band_maximised_tools_stand_in", harness->frame);
    EXPECT_EQ(Rows(), 3);
}

}  // namespace
}  // namespace qm::band
