#include "ui/hyperlink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ui {
namespace {

constexpr uint32_t kDword = 4;  // REG_DWORD

// The value's bytes as RegQueryValueExW hands them over: UTF-16LE with the terminator.
std::string registryString(std::wstring_view text, bool terminated = true) {
    std::string bytes;
    for (const wchar_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    if (terminated) bytes.append(2, '\0');
    return bytes;
}

constexpr ColorValue rgb(unsigned r, unsigned g, unsigned b) { return r | (g << 8) | (b << 16); }

struct ColorCase {
    const char* name;
    uint32_t type;
    std::string data;
    std::optional<ColorValue> expected;
};

TEST(LinkColorFromRegistryValue, ReadsOnlyWellFormedRedGreenBlueStrings) {
    const std::vector<ColorCase> cases = {
        {"navy", kRegistryString, registryString(L"0,0,128"), rgb(0, 0, 128)},
        {"blanks after the commas", kRegistryString, registryString(L"12, 34, 56"),
         rgb(12, 34, 56)},
        {"leading blanks and a plus sign", kRegistryString, registryString(L" +1,\t2, 3"),
         rgb(1, 2, 3)},
        {"expandable string, not expanded", kRegistryExpandString, registryString(L"1,2,3"),
         rgb(1, 2, 3)},
        {"only the low 8 bits count", kRegistryString, registryString(L"300,0,0"), rgb(44, 0, 0)},
        {"negative blue is not a missing part", kRegistryString, registryString(L"0,0,-1"),
         rgb(0, 0, 255)},
        {"red of -1 marks a missing part", kRegistryString, registryString(L"-1,0,0"), {}},
        {"green of -1 marks a missing part", kRegistryString, registryString(L"0,-1,0"), {}},
        {"one comma", kRegistryString, registryString(L"1,2"), {}},
        {"empty blue part", kRegistryString, registryString(L"1,2,"), {}},
        {"no comma", kRegistryString, registryString(L"128"), {}},
        {"empty red and green read as 0", kRegistryString, registryString(L",,7"), rgb(0, 0, 7)},
        {"digits stop at the first other character", kRegistryString, registryString(L"12px,3,4x"),
         rgb(12, 3, 4)},
        {"a fourth part belongs to blue", kRegistryString, registryString(L"1,2,3,4"),
         rgb(1, 2, 3)},
        {"11 characters fit", kRegistryString, registryString(L"100,100,100"), rgb(100, 100, 100)},
        {"12 characters are too long", kRegistryString, registryString(L"100,100,1000"), {}},
        {"no terminator", kRegistryString, registryString(L"1,2,3", false), {}},
        {"odd length", kRegistryString, registryString(L"1,2,3") + '\0', {}},
        {"empty data", kRegistryString, "", {}},
        {"terminator only", kRegistryString, registryString(L""), {}},
        {"text after an inner terminator is ignored",
         kRegistryString,
         registryString(std::wstring(L"1,2\0,3", 6)),
         {}},
        {"a number (REG_DWORD) is ignored", kDword, std::string("\x80\0\0\0", 4), {}},
        {"binary data is ignored", 3, registryString(L"1,2,3"), {}},
    };
    for (const ColorCase& c : cases) {
        EXPECT_EQ(linkColorFromRegistryValue(c.type, c.data), c.expected) << c.name;
    }
}

TEST(AlignedLinkRect, PutsTheMeasuredTextWhereTheStaticDrawsIt) {
    const LayoutRect client{0, 0, 113, 13};
    const LayoutRect measured{0, 0, 61, 13};
    EXPECT_EQ(alignedLinkRect(client, measured, TextAlignment::Left), measured);
    EXPECT_EQ(alignedLinkRect(client, measured, TextAlignment::Centre),
              (LayoutRect{26, 0, 87, 13}));
    EXPECT_EQ(alignedLinkRect(client, measured, TextAlignment::Right),
              (LayoutRect{52, 0, 113, 13}));
    // Text wider than the control keeps to the left edge's arithmetic: it moves left.
    EXPECT_EQ(alignedLinkRect(client, {0, 0, 121, 13}, TextAlignment::Right),
              (LayoutRect{-8, 0, 113, 13}));
}

}  // namespace
}  // namespace ui
