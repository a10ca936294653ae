#include "launcher/single_instance.h"

#include <gtest/gtest.h>

namespace launcher::single_instance {
namespace {

std::vector<std::uint8_t> fullArea(const std::vector<std::wstring>& arguments) {
    auto encoded = encodeArguments(arguments);
    EXPECT_TRUE(encoded.has_value());
    std::vector<std::uint8_t> area(kArgumentAreaSize, 0xAB);  // stale bytes behind the limit
    if (encoded) std::copy(encoded->begin(), encoded->end(), area.begin());
    return area;
}

TEST(SingleInstance, OnlyLowerCaseYesOutsideServiceModeTurnsItOn) {
    EXPECT_TRUE(wanted(L"", L"yes"));
    EXPECT_TRUE(wanted(L"console", L"yes"));
    for (const wchar_t* value : {L"Yes", L"YES", L"yes ", L"", L"true", L"1"}) {
        EXPECT_FALSE(wanted(L"", value)) << value;
    }
    EXPECT_FALSE(wanted(L"service", L"yes"));
    EXPECT_TRUE(wanted(L"Service", L"yes"));  // the type word is compared exactly too
}

TEST(SingleInstance, NamesComeFromTheExecutablePath) {
    const auto name = instanceName(L"C:\\Program Files\\App\\MyApp.exe");
    EXPECT_EQ(name, L"C:_Program Files_App_MyApp.exe");
    EXPECT_NE(instanceName(L"C:\\a\\MyApp.exe"), instanceName(L"C:\\b\\MyApp.exe"));
    EXPECT_NE(instanceName(L"C:\\a\\MyApp.exe"), instanceName(L"C:\\A\\MyApp.exe"));
    EXPECT_EQ(startedEventName(name), name + L"_upr_evt");
    EXPECT_NE(handOverMutexName(name), copiedEventName(name));
}

// A path of the given length, as GetModuleFileNameW reports it.
std::wstring pathOfLength(std::size_t length, wchar_t fill = L'p') {
    const std::wstring head = L"C:\\";
    const std::wstring tail = L"\\MyApp.exe";
    return head + std::wstring(length - head.size() - tail.size(), fill) + tail;
}

TEST(SingleInstance, NamesThatFitStayAsTheyAre) {
    struct Case {
        std::size_t pathLength;
        bool messageKept;   // the instance name itself, at most 255 characters
        bool mappingKept;   // below MAX_PATH
        bool suffixedKept;  // the instance name and an eight-character suffix, below MAX_PATH
    };
    const Case cases[] = {
        {40, true, true, true},     {251, true, true, true},     {252, true, true, false},
        {255, true, true, false},   {256, false, true, false},   {259, false, true, false},
        {260, false, false, false}, {1000, false, false, false}, {32767, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pathLength);
        const auto name = instanceName(pathOfLength(c.pathLength));
        ASSERT_EQ(name.size(), c.pathLength);
        EXPECT_EQ(messageName(name) == name, c.messageKept);
        EXPECT_EQ(mappingName(name) == name, c.mappingKept);
        EXPECT_EQ(startedEventName(name) == name + L"_upr_evt", c.suffixedKept);
        EXPECT_EQ(handOverMutexName(name) == name + L"_upr_mtx", c.suffixedKept);
        EXPECT_EQ(copiedEventName(name) == name + L"_upr_ack", c.suffixedKept);
        EXPECT_LE(messageName(name).size(), kMessageNameLimit);
        for (const auto& object : {mappingName(name), startedEventName(name),
                                   handOverMutexName(name), copiedEventName(name)}) {
            EXPECT_LE(object.size(), kObjectNameLimit);
        }
    }
}

TEST(SingleInstance, ShortenedNamesKeepPathsAndObjectsApart) {
    const auto name = instanceName(pathOfLength(400));
    // The same path always gives the same names: every start must find the same objects.
    EXPECT_EQ(messageName(name), messageName(instanceName(pathOfLength(400))));
    const std::vector<std::wstring> names = {
        messageName(name),
        startedEventName(name),
        handOverMutexName(name),
        copiedEventName(name),
        // Paths that differ only far from their end, in letter case, or in length.
        messageName(instanceName(pathOfLength(400, L'q'))),
        messageName(instanceName(L"D" + pathOfLength(400).substr(1))),
        messageName(instanceName(L"c" + pathOfLength(400).substr(1))),
        messageName(instanceName(pathOfLength(401))),
    };
    for (std::size_t i = 0; i < names.size(); ++i) {
        for (std::size_t j = i + 1; j < names.size(); ++j) {
            EXPECT_NE(names[i], names[j]) << i << " " << j;
        }
    }
    // The end of the name tells which executable and which object a short name stands for.
    EXPECT_TRUE(startedEventName(name).ends_with(L"_MyApp.exe_upr_evt"));
    EXPECT_EQ(startedEventName(name).find(L'\\'), std::wstring::npos);
}

TEST(SingleInstance, FieldsAreLittleEndian) {
    std::vector<std::uint8_t> block(kBlockSize, 0);
    writeField(block, kMessageIdOffset, 0xC0DE1234u);
    EXPECT_EQ(block[8], 0x34);
    EXPECT_EQ(block[11], 0xC0);
    EXPECT_EQ(readField(block, kMessageIdOffset), 0xC0DE1234u);
    EXPECT_EQ(readField(block, kProcessIdOffset), 0u);
}

TEST(SingleInstance, ArgumentLimitCountsEveryZeroUnit) {
    // 1040 bytes: 518 units of text, its zero unit and the list's final zero unit.
    const std::vector<std::wstring> exact{std::wstring(518, L'x')};
    EXPECT_EQ(argumentBytes(exact), 1040u);
    EXPECT_TRUE(encodeArguments(exact).has_value());
    const std::vector<std::wstring> over{std::wstring(519, L'x')};
    EXPECT_EQ(argumentBytes(over), 1042u);
    EXPECT_FALSE(encodeArguments(over).has_value());
    // Many empty arguments cost their zero units too.
    EXPECT_FALSE(encodeArguments(std::vector<std::wstring>(520, L"")).has_value());
    EXPECT_TRUE(encodeArguments(std::vector<std::wstring>(519, L"")).has_value());
}

TEST(SingleInstance, ArgumentsSurviveTheRoundTrip) {
    const std::vector<std::vector<std::wstring>> cases = {
        {L"one"},
        {L"first", L"with space"},
        {L"caf\u00e9", L"\u20ac \u4e2d", L"pair \xD83D\xDE00"},
        {std::wstring(518, L'z')},
    };
    for (const auto& arguments : cases) {
        EXPECT_EQ(decodeArguments(fullArea(arguments)), arguments);
    }
}

TEST(SingleInstance, EncodedTextIsUtf16LittleEndian) {
    const auto area = encodeArguments({L"A\u20ac"});
    ASSERT_TRUE(area.has_value());
    const std::vector<std::uint8_t> head(area->begin(), area->begin() + 8);
    EXPECT_EQ(head, (std::vector<std::uint8_t>{0x41, 0, 0xAC, 0x20, 0, 0, 0, 0}));
}

TEST(SingleInstance, EmptyHandOverGivesOneEmptyString) {
    EXPECT_EQ(decodeArguments(fullArea({})), std::vector<std::wstring>{L""});
}

TEST(SingleInstance, EmptyArgumentInsideTheListEndsIt) {
    // The layout cannot tell an empty argument from the list's end: it and what follows are lost.
    EXPECT_EQ(decodeArguments(fullArea({L"a", L"", L"b"})), std::vector<std::wstring>{L"a"});
}

TEST(SingleInstance, AreaWithoutFinalZerosEndsAtItsEnd) {
    std::vector<std::uint8_t> area(kArgumentAreaSize, 0);
    for (std::size_t i = 0; i < area.size(); i += 2) area[i] = 'q';
    const auto arguments = decodeArguments(area);
    ASSERT_EQ(arguments.size(), 1u);
    EXPECT_EQ(arguments[0], std::wstring(kArgumentAreaSize / 2, L'q'));
    // A zero in the very last unit ends the list too.
    area[area.size() - 2] = 0;
    EXPECT_EQ(decodeArguments(area).size(), 1u);
}

}  // namespace
}  // namespace launcher::single_instance
