#include "launcher/jre_not_found.h"

#include <gtest/gtest.h>

#include "jre/pe_image.h"
#include "resources/resource_ids.h"

namespace launcher {
namespace {

jre::JavaVersion v(int32_t a, int32_t b, int32_t c, int32_t d) {
    return jre::JavaVersion{{a, b, c, d}};
}

TEST(DescribeVersionBounds, ChoosesPhraseByOpenBounds) {
    struct Case {
        const wchar_t* minimum;
        const wchar_t* maximum;
        VersionPhrase phrase;
    };
    const Case cases[] = {
        {L"any", L"any", {IDS_LATEST_VERSION, {}}},
        {L"", L"", {IDS_LATEST_VERSION, {}}},  // an empty maximum reads as no maximum here
        {L"any", L"1.8", {IDS_MAXIMUM_VERSION, {L"1.8"}}},
        {L"1.6", L"any", {IDS_MINIMUM_VERSION, {L"1.6"}}},
        {L"1.8.0.151", L"1.8.0.151", {IDS_EXACT_VERSION, {L"1.8.0.151"}}},
        {L"1.7", L"1.7", {IDS_VERSION_RANGE, {L"1.7", L"1.7"}}},
        {L"1.6", L"11.0.2", {IDS_VERSION_RANGE, {L"1.6", L"11.0.2"}}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(describeVersionBounds(jre::minimumVersionFromSetting(c.minimum),
                                        jre::maximumVersionFromSetting(c.maximum)),
                  c.phrase)
            << testing::PrintToString(c.minimum) << " " << testing::PrintToString(c.maximum);
    }
    // A bound whose components are all 65535 counts as open, one mixing 0 and 65535 does not.
    EXPECT_EQ(describeVersionBounds(v(65535, 65535, 65535, 65535), v(0, 65535, 0, 0)).stringId,
              static_cast<unsigned>(IDS_MAXIMUM_VERSION));
}

// A string table of short texts, so a result shows which entries it was built from.
std::wstring fakeString(unsigned id) {
    switch (id) {
        case IDS_JRE_NOT_FOUND:
            return L"need %s";
        case IDS_JRE_NOT_FOUND_SERVER:
            return L"need server %s";
        case IDS_VERSION_RANGE:
            return L"from %s to %s";
        case IDS_LATEST_VERSION:
            return L"latest";
        case IDS_JRE_OTHER_MACHINE:
            return L"is %s, needs %s";
        default:
            return L"?";
    }
}

TEST(JreNotFoundMessage, PutsThePhraseIntoTheMessageOfTheJvmType) {
    EXPECT_EQ(
        jreNotFoundMessage(jre::JvmType::ClientFirst, v(1, 6, 0, 0), v(11, 0, 2, 0), fakeString),
        L"need from 1.6 to 11.0.2");
    EXPECT_EQ(jreNotFoundMessage(jre::JvmType::ServerOnly, v(0, 0, 0, 0),
                                 v(65535, 65535, 65535, 65535), fakeString),
              L"need server latest");
}

TEST(PickHint, ExplainsOnlyAnotherMachinesRuntime) {
    jre::JrePick pick{L"C:\\rt64\\", L"C:\\rt64\\bin\\client\\jvm.dll", jre::kMachineAmd64};
    EXPECT_EQ(pickHint(pick, jre::kMachineI386, fakeString), L"is 64-bit, needs 32-bit");
    pick.unrunnableMachine.reset();
    EXPECT_EQ(pickHint(pick, jre::kMachineI386, fakeString), L"");
    EXPECT_EQ(pickHint(jre::JrePick{}, jre::kMachineAmd64, fakeString), L"");
}

}  // namespace
}  // namespace launcher
