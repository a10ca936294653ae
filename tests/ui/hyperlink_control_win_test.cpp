#include <windows.h>

#include <gtest/gtest.h>

#include <vector>

#include "base/handles_win.h"
#include "ui/hyperlink_control_win.h"

namespace ui {
namespace {

constexpr int kControlWidth = 300;

base::UniqueWindow createStatic(DWORD style, const wchar_t* text) {
    return base::UniqueWindow(CreateWindowExW(0, L"STATIC", text, WS_POPUP | style, 100, 100,
                                              kControlWidth, 24, nullptr, nullptr,
                                              GetModuleHandleW(nullptr), nullptr));
}

struct AlignmentCase {
    const char* name;
    DWORD style;
};

TEST(HyperlinkControl, LinkCoversOnlyTheTextWhereTheStaticAlignsIt) {
    const std::vector<AlignmentCase> cases = {
        {"left", SS_LEFT}, {"centred", SS_CENTER}, {"right", SS_RIGHT}};
    for (const AlignmentCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto control = createStatic(c.style, L"java.com/download");
        ASSERT_TRUE(control);
        HyperlinkControl link;
        ASSERT_TRUE(link.attach(control.get()));
        EXPECT_NE(GetWindowLongPtrW(control.get(), GWL_STYLE) & SS_NOTIFY, 0);
        EXPECT_EQ(link.url(), L"java.com/download");

        const RECT area = link.linkRect();
        const int textWidth = area.right - area.left;
        EXPECT_GT(textWidth, 20);
        EXPECT_LT(textWidth, kControlWidth / 2);
        const int expectedLeft = c.style == SS_LEFT     ? 0
                                 : c.style == SS_CENTER ? (kControlWidth - textWidth) / 2
                                                        : kControlWidth - textWidth;
        EXPECT_NEAR(area.left, expectedLeft, 1);
    }
}

TEST(HyperlinkControl, SelfPaintingStaticKeepsItsWholeAreaAsTheLink) {
    const auto control = createStatic(SS_BLACKRECT, L"");
    HyperlinkControl link;
    link.setUrl(L"https://example.invalid/");
    ASSERT_TRUE(link.attach(control.get()));
    const RECT area = link.linkRect();
    EXPECT_EQ(area.left, 0);
    EXPECT_EQ(area.right, kControlWidth);
}

TEST(HyperlinkControl, TargetTheShellRefusesLeavesTheLinkUnvisited) {
    const auto control = createStatic(SS_LEFT, L"download");
    HyperlinkControl link;
    link.setUrl(L"jl-no-such-protocol:target");
    ASSERT_TRUE(link.attach(control.get()));
    EXPECT_FALSE(link.navigate());
    EXPECT_FALSE(link.visited());
}

}  // namespace
}  // namespace ui
