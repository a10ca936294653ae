#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>

#include "jni_test_jvm.h"
#include "jvm/exception_text.h"
#include "jvm/java_strings.h"

namespace jvm {
namespace {

using testing::callStatic;
using testing::onJavaThread;
using testing::TestJvm;
using testing::unitsOf;

constexpr const char* failures = "bridgetest/Failures";

TEST(DescribeException, GivesExactlyWhatPrintStackTraceWrites) {
    onJavaThread([] {
        TestJvm jvm;
        JNIEnv* env = jvm.env();
        auto exception = static_cast<jthrowable>(
            callStatic(env, failures, "withCause", "()Ljava/lang/Throwable;"));
        ASSERT_NE(exception, nullptr);
        auto expected = static_cast<jstring>(callStatic(
            env, failures, "traceOf", "(Ljava/lang/Throwable;)Ljava/lang/String;", exception));
        ASSERT_NE(expected, nullptr);

        const std::wstring text = describeException(env, exception);
        EXPECT_EQ(unitsOf(text), unitsOf(env, expected));
        EXPECT_EQ(text.rfind(L"java.lang.IllegalStateException: outer \u00e4\u00f6\u00fc \u20ac "
                             L"\u4e2d\n",
                             0),
                  0U);
        EXPECT_NE(text.find(L"Caused by: java.lang.RuntimeException: inner"), std::wstring::npos);
        EXPECT_FALSE(exceptionPending(env));
    });
}

TEST(DescribeException, KeepsTheTextSoFarWhenPrintStackTraceThrows) {
    onJavaThread([] {
        TestJvm jvm;
        JNIEnv* env = jvm.env();
        auto exception = static_cast<jthrowable>(
            callStatic(env, failures, "withBrokenTrace", "()Ljava/lang/Throwable;"));
        ASSERT_NE(exception, nullptr);
        ::testing::internal::CaptureStderr();
        const std::wstring text = describeException(env, exception);
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(text, L"partial");
        EXPECT_NE(errors.find("java.lang.IllegalStateException: trace broke"), std::string::npos)
            << errors;
        EXPECT_FALSE(exceptionPending(env));
    });
}

TEST(CallSystemExit, RefusedExitReturnsFalseAndIsDescribed) {
    onJavaThread([] {
        TestJvm jvm;
        JNIEnv* env = jvm.env();
        ::testing::internal::CaptureStderr();
        jclass type = env->FindClass(failures);
        env->CallStaticVoidMethod(type, env->GetStaticMethodID(type, "refuseExit", "()V"));
        ASSERT_FALSE(exceptionPending(env));
        const bool exited = callSystemExit(env, 3);
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_FALSE(exited);
        EXPECT_NE(errors.find("SecurityException: exit refused"), std::string::npos) << errors;
        EXPECT_FALSE(exceptionPending(env));
    });
}

TEST(CallSystemExitDeathTest, EndsTheProcessWithTheStatus) {
    EXPECT_EXIT(onJavaThread([] {
                    TestJvm jvm;
                    callSystemExit(jvm.env(), 3);
                    std::fprintf(stderr, "returned\n");
                    std::exit(0);
                }),
                ::testing::ExitedWithCode(3), "");
}

}  // namespace
}  // namespace jvm
