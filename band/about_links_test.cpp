#include "band/about_links.h"

#include <gtest/gtest.h>

#include "band/resources/face_ids.h"

namespace qm::band {
namespace {

TEST(AboutLinks, EachLinkOpensItsAddress) {
    const struct {
        int result;
        AboutLinkKind kind;
        const char* address;
        const char* windowName;
    } cases[] = {
        {IDC_LINK_SUPPORT_MAIL, AboutLinkKind::Mail, "mailto:support@marrowlabs.example", ""},
        {IDC_LINK_COMMENTS_MAIL, AboutLinkKind::Mail, "mailto:comments@marrowlabs.example", ""},
        {IDC_LINK_SALES_MAIL, AboutLinkKind::Mail, "mailto:sales@marrowlabs.example", ""},
        {IDC_LINK_GENERAL_MAIL, AboutLinkKind::Mail, "mailto:info@marrowlabs.example", ""},
        {IDC_LINK_HOME, AboutLinkKind::Web, "http://www.marrowlabs.example/",
         "quellmark_marrowlabs"},
        {IDC_LINK_MANUAL, AboutLinkKind::Web, "http://docs.marrowlabs.example/",
         "quellmark_manual"},
        {IDC_LINK_SUPPORT_WEB, AboutLinkKind::Web, "http://help.marrowlabs.example/",
         "quellmark_support"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.result);
        auto link = AboutLinkFor(c.result);
        ASSERT_TRUE(link);
        EXPECT_EQ(link->kind, c.kind);
        EXPECT_EQ(link->address, c.address);
        EXPECT_EQ(link->windowName, c.windowName);
    }
    EXPECT_EQ(HomePageAddress(), "http://www.marrowlabs.example/");
}

TEST(AboutLinks, OkClosingAndUnknownResultsOpenNothing) {
    for (int result : {1, 2, 0, -1, 287, 290, IDC_ABOUT_WELCOME}) {
        EXPECT_FALSE(AboutLinkFor(result)) << result;
    }
}

}  // namespace
}  // namespace qm::band
