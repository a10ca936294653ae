#include "jre/vendor_version.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace jre {
namespace {

std::optional<JavaVersion> v(int32_t a, int32_t b, int32_t c, int32_t d) {
    return JavaVersion{{a, b, c, d}};
}

TEST(VendorVersion, KeyNamesGiveTheVersionOnlyWhenFull) {
    const struct {
        const wchar_t* name;
        std::optional<JavaVersion> expected;
    } cases[] = {
        {L"17.0.9.9", v(17, 0, 9, 9)},      // Adoptium, Microsoft
        {L"21.0.1", v(21, 0, 1, 0)},        //
        {L"8.0.392.8", v(1, 8, 0, 392)},    // vendors' Java 8: the build number goes
        {L"7.0.352", v(1, 7, 0, 352)},      //
        {L"1.8.0_392", v(1, 8, 0, 392)},    // already in the old scheme
        {L"9.0.4.11", v(9, 0, 4, 11)},      //
        {L"zulu-17", std::nullopt},         // Azul names only the major version
        {L"zulu-8", std::nullopt},          //
        {L"21", std::nullopt},              //
        {L"hotspot", std::nullopt},         //
        {L"99999999999.0.1", std::nullopt}  // too large for a component
    };
    for (const auto& c : cases) {
        EXPECT_EQ(versionFromKeyName(c.name), c.expected) << testing::PrintToString(c.name);
    }
}

TEST(VendorVersion, ReleaseFileFirstJavaVersionLine) {
    const struct {
        const char* text;
        std::optional<JavaVersion> expected;
    } cases[] = {
        {"IMPLEMENTOR=\"Eclipse Adoptium\"\nJAVA_VERSION=\"17.0.9\"\n", v(17, 0, 9, 0)},
        {"JAVA_VERSION=17.0.9", v(17, 0, 9, 0)},
        {"JAVA_VERSION=\"1.8.0_392\"\r\nOS_NAME=\"Windows\"\r\n", v(1, 8, 0, 392)},
        {"JAVA_VERSION=\"8.0.392\"\n", v(1, 8, 0, 392)},
        {"\xEF\xBB\xBFJAVA_VERSION=\"21\"\n", v(21, 0, 0, 0)},
        {"  JAVA_VERSION = \"11.0.21\"  \n", v(11, 0, 21, 0)},
        {"JAVA_VERSION_DATE=\"2023-10-17\"\nJAVA_VERSION=\"17.0.9\"\n", v(17, 0, 9, 0)},
        {"JAVA_VERSION=\"17.0.9\"\nJAVA_VERSION=\"11.0.1\"\n", v(17, 0, 9, 0)},
        {"JAVA_VERSION=\"\"\nJAVA_VERSION=\"11.0.1\"\n", std::nullopt},  // only the first counts
        {"JAVA_VERSION=\"unknown\"\n", std::nullopt},
        {"#JAVA_VERSION=\"17\"\nOS_ARCH=\"x86_64\"\n", std::nullopt},
        {"", std::nullopt},
        {"\x7f\x45\x4c\x46\x01\x01\x00\xff\xfe", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(versionFromReleaseText(c.text), c.expected) << testing::PrintToString(c.text);
    }
}

TEST(VendorVersion, ReleaseFileIsReadOnlyToItsLimit) {
    const std::string padding(1 << 20, '#');
    const std::string versionLine = "JAVA_VERSION=\"17.0.9\"\n";
    // A file of a megabyte, seen as its start would be read.
    const auto start = [](const std::string& text) { return text.substr(0, kReleaseFileLimit); };
    EXPECT_EQ(versionFromReleaseText(start(versionLine + padding)), v(17, 0, 9, 0));
    EXPECT_EQ(versionFromReleaseText(start(padding + "\n" + versionLine)), std::nullopt);
    // A line cut at the limit could name another version than the file does.
    const std::string cutLine(kReleaseFileLimit - 18, '#');
    EXPECT_EQ(versionFromReleaseText(start(cutLine + "\nJAVA_VERSION=\"17.0.19\"\n")),
              std::nullopt);
}

}  // namespace
}  // namespace jre
