#include "splash/one_shot_call.h"

#include <gtest/gtest.h>

#include <string>

namespace splash {
namespace {

std::string calls;
void first() { calls += "first;"; }
void second() { calls += "second;"; }

class OneShotCallTest : public testing::Test {
  protected:
    void SetUp() override { calls.clear(); }
};

TEST_F(OneShotCallTest, ResetCallsTheHeldFunctionOnce) {
    OneShotCall holder;
    holder.set(&first);
    holder.reset();
    holder.reset();
    EXPECT_EQ(calls, "first;");
    EXPECT_FALSE(holder.holds());
}

TEST_F(OneShotCallTest, DestructionCallsWhatIsStillHeld) {
    {
        OneShotCall holder;
        holder.set(&first);
    }
    {
        OneShotCall resetBefore;
        resetBefore.set(&second);
        resetBefore.reset();
    }
    {
        OneShotCall empty;
        empty.set(nullptr);
    }
    EXPECT_EQ(calls, "first;second;");
}

TEST_F(OneShotCallTest, StoringADifferentFunctionCallsTheHeldOneFirst) {
    OneShotCall holder;
    holder.set(&first);
    holder.set(&first);  // the same entry again: still one call in all
    EXPECT_EQ(calls, "");
    holder.set(&second);
    EXPECT_EQ(calls, "first;");
    holder.set(nullptr);
    EXPECT_EQ(calls, "first;second;");
    holder.reset();
    EXPECT_EQ(calls, "first;second;");
}

}  // namespace
}  // namespace splash
