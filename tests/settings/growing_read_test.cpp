#include "settings/growing_read.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace settings {
namespace {

// Behaves like GetPrivateProfileStringW on one stored value: copies what fits, terminates it,
// and returns the number of characters copied.
struct FakeValueApi {
    std::wstring value;
    std::vector<uint32_t> sizes;

    ProfileRead read() {
        return [this](wchar_t* buffer, uint32_t size) -> uint32_t {
            sizes.push_back(size);
            const size_t copied = std::min<size_t>(value.size(), size - 1);
            std::copy_n(value.begin(), copied, buffer);
            buffer[copied] = L'\0';
            return static_cast<uint32_t>(copied);
        };
    }
};

struct GrowCase {
    size_t length;
    std::vector<uint32_t> expectedSizes;
};

class GrowingValueTest : public ::testing::TestWithParam<GrowCase> {};

TEST_P(GrowingValueTest, ReadsWholeValue) {
    FakeValueApi api{std::wstring(GetParam().length, L'v'), {}};
    EXPECT_EQ(readProfileValue(api.read()), api.value);
    EXPECT_EQ(api.sizes, GetParam().expectedSizes);
}

INSTANTIATE_TEST_SUITE_P(Lengths, GrowingValueTest,
                         ::testing::Values(GrowCase{0, {256}}, GrowCase{254, {256}},
                                           GrowCase{255, {256, 512}},
                                           GrowCase{511, {256, 512, 1024}},
                                           GrowCase{600, {256, 512, 1024}}));

TEST(GrowingRead, StopsGrowingAtTheCap) {
    // An API that always claims the value was cut must not make the read loop forever.
    std::vector<uint32_t> sizes;
    const std::wstring value = readProfileValue([&](wchar_t* buffer, uint32_t size) {
        sizes.push_back(size);
        std::fill_n(buffer, size - 1, L'x');
        buffer[size - 1] = L'\0';
        return size - 1;
    });
    EXPECT_EQ(sizes.back(), kMaxProfileReadChars);
    EXPECT_EQ(value.size(), kMaxProfileReadChars - 1);
}

TEST(GrowingRead, OverlongResultIsClamped) {
    const std::wstring value =
        readWithGrowingBuffer([](wchar_t*, uint32_t size) { return size + 100; }, 1);
    EXPECT_EQ(value.size(), kFirstProfileReadChars);
}

TEST(GrowingRead, ValueEndsAtTerminator) {
    const std::wstring value = readProfileValue([](wchar_t* buffer, uint32_t) {
        buffer[0] = L'a';
        buffer[1] = L'\0';
        buffer[2] = L'b';
        return 3u;
    });
    EXPECT_EQ(value, L"a");
}

// Behaves like GetPrivateProfileSectionNamesW: a block of NUL-terminated names, cut with a
// result of size - 2 when it does not fit.
TEST(GrowingRead, SectionNamesGrowAndSkipEmptyNames) {
    std::wstring block;
    std::vector<std::wstring> expected;
    for (int i = 0; i < 100; ++i) {
        expected.push_back(L"Section" + std::to_wstring(i));
        block += expected.back();
        block += L'\0';
    }
    std::vector<uint32_t> sizes;
    std::vector<std::wstring> names{L"stale"};
    readProfileSectionNames(
        [&](wchar_t* buffer, uint32_t size) -> uint32_t {
            sizes.push_back(size);
            if (block.size() + 1 <= size) {
                std::copy(block.begin(), block.end(), buffer);
                buffer[block.size()] = L'\0';
                return static_cast<uint32_t>(block.size());
            }
            std::copy_n(block.begin(), size - 2, buffer);
            buffer[size - 2] = L'\0';
            buffer[size - 1] = L'\0';
            return size - 2;
        },
        names);
    EXPECT_EQ(names, expected);
    EXPECT_EQ(sizes, (std::vector<uint32_t>{256, 512, 1024}));
}

TEST(GrowingRead, NulSeparatedNames) {
    std::vector<std::wstring> names;
    appendNulSeparatedNames(std::wstring_view(L"a\0\0bc\0d", 7), names);
    EXPECT_EQ(names, (std::vector<std::wstring>{L"a", L"bc", L"d"}));
}

}  // namespace
}  // namespace settings
