#include "base/unique_handle.h"

#include <gtest/gtest.h>

#include <vector>

namespace base {
namespace {

std::vector<int> closed;

struct CountingTraits {
    using Type = int;
    static Type invalid() noexcept { return -1; }
    static void close(Type value) noexcept { closed.push_back(value); }
};
using Owner = UniqueHandle<CountingTraits>;

class UniqueHandleTest : public ::testing::Test {
  protected:
    void SetUp() override { closed.clear(); }
};

TEST_F(UniqueHandleTest, ClosesOnceAtScopeEnd) {
    { Owner owner(3); }
    { Owner empty; }
    EXPECT_EQ(closed, (std::vector<int>{3}));
}

TEST_F(UniqueHandleTest, MoveTransfersOwnership) {
    Owner first(1);
    Owner second(std::move(first));
    EXPECT_FALSE(first);  // NOLINT(bugprone-use-after-move): moved-from state is specified
    EXPECT_TRUE(second);
    Owner third(2);
    third = std::move(second);
    EXPECT_EQ(closed, (std::vector<int>{2}));
    EXPECT_EQ(third.get(), 1);
}

TEST_F(UniqueHandleTest, ResetReleaseAndPut) {
    Owner owner(5);
    owner.reset(6);
    EXPECT_EQ(closed, (std::vector<int>{5}));
    EXPECT_EQ(owner.release(), 6);
    EXPECT_FALSE(owner);
    owner.reset(7);
    int* slot = owner.put();
    EXPECT_EQ(closed, (std::vector<int>{5, 7}));
    *slot = 8;
    EXPECT_EQ(owner.get(), 8);
}

}  // namespace
}  // namespace base
