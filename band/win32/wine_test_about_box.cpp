// The About box over the band, driven by messages: each link closes the box
// and then opens its address; the links' colour and cursor.

#include <windows.h>

#include <gtest/gtest.h>

#include "band/win32/face_painting.h"
#include "band/resources/face_ids.h"
#include "band/win32/testing/face_harness.h"

namespace qm::band {
namespace {

using testing::FaceHarness;

const char kCaption[] = "About Quellmark v1.01";

class AboutBoxTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::DeleteSettingsKey();
        harness = std::make_unique<FaceHarness>(760);
    }
    void TearDown() override {
        harness.reset();
        testing::DeleteSettingsKey();
    }

    // Opens the box from the context menu and clicks `id` in it.
    void Choose(int id) {
        testing::WhenDialogOpens(
            kCaption, [id](HWND dialog) { SendMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); });
        CMINVOKECOMMANDINFO info{};
        info.cbSize = sizeof info;
        info.lpVerb = MAKEINTRESOURCEA(9);
        EXPECT_EQ(harness->face.InvokeCommand(&info), S_OK);
        EXPECT_FALSE(testing::DialogWasForcedClosed()) << id;
        EXPECT_FALSE(testing::FindThreadDialog(kCaption)) << id;
    }

    std::unique_ptr<FaceHarness> harness;
};

TEST_F(AboutBoxTest, WebLinksCloseTheBoxThenOpenOneNamedWindow) {
    const struct {
        int id;
        const wchar_t* url;
        const wchar_t* name;
    } cases[] = {
        {IDC_LINK_HOME, L"http://www.marrowlabs.example/", L"quellmark_marrowlabs"},
        {IDC_LINK_MANUAL, L"http://docs.marrowlabs.example/", L"quellmark_manual"},
        {IDC_LINK_SUPPORT_WEB, L"http://help.marrowlabs.example/", L"quellmark_support"},
    };
    for (const auto& c : cases) {
        harness->host.opened.clear();
        harness->host.aboutBoxOpenWhenOpening.clear();
        Choose(c.id);
        ASSERT_EQ(harness->host.opened.size(), 1u) << c.id;
        EXPECT_EQ(harness->host.opened[0].url, c.url);
        EXPECT_EQ(harness->host.opened[0].targetName, c.name);
        EXPECT_FALSE(harness->host.aboutBoxOpenWhenOpening[0]) << c.id;
    }
    EXPECT_TRUE(harness->host.shellOpened.empty());
}

TEST_F(AboutBoxTest, MailLinksGoToTheShellAndLeaveTheBandAlone) {
    const struct {
        int id;
        const char* target;
    } cases[] = {
        {IDC_LINK_SUPPORT_MAIL, "mailto:support@marrowlabs.example"},
        {IDC_LINK_COMMENTS_MAIL, "mailto:comments@marrowlabs.example"},
        {IDC_LINK_SALES_MAIL, "mailto:sales@marrowlabs.example"},
        {IDC_LINK_GENERAL_MAIL, "mailto:info@marrowlabs.example"},
    };
    for (const auto& c : cases) {
        harness->host.shellOpened.clear();
        Choose(c.id);
        ASSERT_EQ(harness->host.shellOpened.size(), 1u) << c.id;
        EXPECT_EQ(harness->host.shellOpened[0], c.target);
    }
    EXPECT_TRUE(harness->host.opened.empty());
}

TEST_F(AboutBoxTest, OkAndClosingOpenNothing) {
    Choose(IDOK);
    testing::WhenDialogOpens(kCaption, [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); });
    harness->face.ShowAbout();
    EXPECT_FALSE(testing::DialogWasForcedClosed());
    EXPECT_TRUE(harness->host.opened.empty());
    EXPECT_TRUE(harness->host.shellOpened.empty());
}

TEST_F(AboutBoxTest, LinksShowTheirAddressInTheLinkColourUnderTheLinkCursor) {
    struct Seen {
        bool linkColour = false;
        bool linkCursor = false;
        std::string homeText;
    } seen;
    testing::WhenDialogOpens(kCaption, [&seen](HWND dialog) {
        HWND home = GetDlgItem(dialog, IDC_LINK_HOME);
        seen.homeText = testing::TextOf(home);
        UpdateWindow(dialog);
        RECT r;
        GetClientRect(home, &r);
        for (int y = 0; y < r.bottom && !seen.linkColour; ++y) {
            for (int x = 0; x < r.right / 2 && !seen.linkColour; ++x) {
                seen.linkColour = testing::PixelOf(home, x, y) == kLinkColour;
            }
        }
        HCURSOR link = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDC_LINK_CURSOR));
        SendMessageA(dialog, WM_SETCURSOR, reinterpret_cast<WPARAM>(home),
                     MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        seen.linkCursor = GetCursor() == link;
        testing::SaveScreenshot("about_box", dialog);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    });
    harness->face.ShowAbout();
    EXPECT_EQ(seen.homeText, "http://www.marrowlabs.example/");
    EXPECT_TRUE(seen.linkColour);
    EXPECT_TRUE(seen.linkCursor);
}

}  // namespace
}  // namespace qm::band
