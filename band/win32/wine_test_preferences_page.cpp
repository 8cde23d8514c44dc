// The "Preferences" page in the band, driven by messages: every change is
// live and in the registry at once; "Block ALL new windows" locks the level.

#include <windows.h>

#include <gtest/gtest.h>

#include "band/resources/face_ids.h"
#include "band/win32/testing/face_harness.h"

namespace qm::band {
namespace {

using testing::FaceHarness;
using testing::StoredSetting;

constexpr int kWidth = 760;

class PreferencesPageTest : public ::testing::Test {
protected:
    void SetUp() override { testing::DeleteSettingsKey(); }
    void TearDown() override { testing::DeleteSettingsKey(); }

    static void ChooseLevel(FaceHarness& harness, int level) {
        HWND levels = harness.PageControl(IDC_GUARD_LEVEL);
        SendMessageA(levels, CB_SETCURSEL, level, 0);
        SendMessageA(GetParent(levels), WM_COMMAND, MAKEWPARAM(IDC_GUARD_LEVEL, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(levels));
    }
    // The lamp of the on/off button: green at full protection, red otherwise.
    static bool LampIsGreen(FaceHarness& harness) {
        UpdateWindow(harness.Control(ON_BTTN));
        COLORREF lamp = testing::PixelOf(harness.Control(ON_BTTN), 7, 5);
        return GetGValue(lamp) > 2 * GetRValue(lamp);
    }
};

TEST_F(PreferencesPageTest, EveryClickTakesEffectAndIsWrittenAtOnce) {
    FaceHarness harness(kWidth);
    const struct {
        int id;
        const char* name;
        std::int32_t Settings::*field;
    } boxes[] = {
        {IDC_CLEAR_ON_UNLOAD, "ClearOnUnload", &Settings::ClearOnUnload},
        {IDC_ALLOW_FLASH_SCRIPTS, "AllowFlashScripts", &Settings::AllowFlashScripts},
        {IDC_LOAD_BARE, "LoadBare", &Settings::LoadBare},
        {IDC_FLASH_ALERT, "FlashAlert", &Settings::FlashAlert},
        {IDC_COMPLETE_BLOCK, "CompleteBlock", &Settings::CompleteBlock},
    };
    for (const auto& box : boxes) {
        HWND control = harness.PageControl(box.id);
        ASSERT_TRUE(control) << box.name;
        const DWORD before = StoredSetting(box.name);
        EXPECT_EQ(SendMessageA(control, BM_GETCHECK, 0, 0) == BST_CHECKED, before == 1) << box.name;
        SendMessageA(control, BM_CLICK, 0, 0);
        EXPECT_EQ(StoredSetting(box.name), 1 - before) << box.name;
        EXPECT_EQ(harness.host.settings.*box.field, static_cast<std::int32_t>(1 - before))
            << box.name;
        SendMessageA(control, BM_CLICK, 0, 0);
        EXPECT_EQ(StoredSetting(box.name), before) << box.name;
    }
    ChooseLevel(harness, 1);
    EXPECT_EQ(StoredSetting("GuardLevel"), 1u);
    EXPECT_EQ(harness.host.settings.GuardLevel, 1);
}

TEST_F(PreferencesPageTest, BlockAllFromTheRegistryLocksTheLevelList) {
    testing::StoreSetting("CompleteBlock", 1);
    testing::StoreSetting("GuardLevel", 1);
    testing::StoreSetting("LoadBare", 0);
    FaceHarness harness(kWidth);
    HWND levels = harness.PageControl(IDC_GUARD_LEVEL);
    EXPECT_EQ(SendMessageA(harness.PageControl(IDC_COMPLETE_BLOCK), BM_GETCHECK, 0, 0),
              BST_CHECKED);
    EXPECT_EQ(SendMessageA(harness.PageControl(IDC_LOAD_BARE), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageA(levels, CB_GETCURSEL, 0, 0), 1);
    EXPECT_FALSE(IsWindowEnabled(levels));
    harness.Click(harness.Control(IDC_TAB_PREFERENCES));
    testing::SaveScreenshot("band_maximised_preferences_block_all", harness.frame);

    // Unchecking enables the list again; the level stays.
    SendMessageA(harness.PageControl(IDC_COMPLETE_BLOCK), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowEnabled(levels));
    EXPECT_EQ(SendMessageA(levels, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(harness.host.settings.GuardLevel, 1);
    EXPECT_EQ(StoredSetting("GuardLevel"), 1u);
    EXPECT_EQ(StoredSetting("CompleteBlock"), 0u);
}

TEST_F(PreferencesPageTest, TheLevelListAndTheOnOffButtonShowEachOther) {
    testing::StoreSetting("GuardLevel", 1);
    FaceHarness harness(kWidth);
    EXPECT_FALSE(LampIsGreen(harness));
    ChooseLevel(harness, 2);
    EXPECT_TRUE(LampIsGreen(harness));
    ChooseLevel(harness, 0);
    EXPECT_FALSE(LampIsGreen(harness));
    EXPECT_EQ(StoredSetting("GuardLevel"), 0u);

    harness.Click(harness.Control(ON_BTTN));
    EXPECT_EQ(SendMessageA(harness.PageControl(IDC_GUARD_LEVEL), CB_GETCURSEL, 0, 0), 2);
    EXPECT_TRUE(LampIsGreen(harness));
}

TEST_F(PreferencesPageTest, LevelTextsInTheirOrder) {
    FaceHarness harness(kWidth);
    HWND levels = harness.PageControl(IDC_GUARD_LEVEL);
    ASSERT_EQ(SendMessageA(levels, CB_GETCOUNT, 0, 0), 3);
    const char* texts[] = {"No Protection", "Record Only", "Riva Roravo!"};
    for (int i = 0; i < 3; ++i) {
        char text[64] = {};
        SendMessageA(levels, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        EXPECT_STREQ(text, texts[i]);
    }
    EXPECT_EQ(SendMessageA(levels, CB_GETCURSEL, 0, 0), 2);
}

}  // namespace
}  // namespace qm::band
