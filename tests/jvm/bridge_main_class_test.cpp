#include <cstdio>
#include <filesystem>
#include <ostream>

#include <gtest/gtest.h>

#include "jni_test_jvm.h"
#include "jvm/exception_text.h"
#include "jvm/java_bridge.h"
#include "jvm/java_strings.h"

namespace jvm {
namespace {

using testing::Attached;
using testing::jvmLibrary;
using testing::onJavaThread;
using testing::TestJvm;
using testing::unitsOf;

enum class LookupPath { LauncherHelper, FindClass };

FindClassFromBootLoaderFn bootLoaderEntry(LookupPath path) {
    return path == LookupPath::LauncherHelper ? jvmLibrary().findClassFromBootLoader : nullptr;
}

// A failed main-class call must not leave the thread attached, or DestroyJavaVM waits for it.
bool isDetached(JavaVM* vm) {
    JNIEnv* env = nullptr;
    return vm->GetEnv(reinterpret_cast<void**>(&env), JNI_VERSION_1_2) == JNI_EDETACHED;
}

std::vector<std::u16string> receivedArguments(JavaVM* vm) {
    Attached attached(vm);
    JNIEnv* env = attached.env();
    jclass echo = env->FindClass("bridgetest/EchoArgs");
    jfieldID field = env->GetStaticFieldID(echo, "received", "[Ljava/lang/String;");
    auto array = static_cast<jobjectArray>(env->GetStaticObjectField(echo, field));
    std::vector<std::u16string> result;
    if (array == nullptr) return result;
    for (jsize i = 0; i < env->GetArrayLength(array); ++i) {
        result.push_back(unitsOf(env, static_cast<jstring>(env->GetObjectArrayElement(array, i))));
    }
    return result;
}

struct ArgumentCase {
    const char* name;
    std::vector<std::wstring> arguments;
};

void PrintTo(const ArgumentCase& argumentCase, std::ostream* out) { *out << argumentCase.name; }
void PrintTo(LookupPath path, std::ostream* out) {
    *out << (path == LookupPath::LauncherHelper ? "LauncherHelper" : "FindClass");
}

class MainClassArguments : public ::testing::TestWithParam<std::tuple<LookupPath, ArgumentCase>> {};

TEST_P(MainClassArguments, ReachMainExactly) {
    const auto& [path, argumentCase] = GetParam();
    ASSERT_TRUE(path == LookupPath::FindClass || jvmLibrary().findClassFromBootLoader != nullptr);
    onJavaThread([&, &path = path, &argumentCase = argumentCase] {
        TestJvm jvm;
        MainClassCall call;
        call.findClassFromBootLoader = bootLoaderEntry(path);
        call.mainClass = L"bridgetest/EchoArgs";
        call.arguments = &argumentCase.arguments;
        EXPECT_EQ(runMainClass(jvm.env(), jvm.vm(), call), MainClassFailure::None);

        std::vector<std::u16string> expected;
        for (const auto& argument : argumentCase.arguments) expected.push_back(unitsOf(argument));
        EXPECT_EQ(receivedArguments(jvm.vm()), expected);
    });
}

INSTANTIATE_TEST_SUITE_P(
    Paths, MainClassArguments,
    ::testing::Combine(::testing::Values(LookupPath::LauncherHelper, LookupPath::FindClass),
                       ::testing::Values(ArgumentCase{"Empty", {}},
                                         ArgumentCase{
                                             "Mixed",
                                             {L"plain", L"with space", L"\"quoted\"", L"",
                                              L"caf\u00e9 \u20ac \u4e2d",
                                              std::wstring(L"nul\0inside", 10),
                                              L"lone \xD800 surrogate", L"pair \xD83D\xDE00"}})),
    [](const auto& info) {
        return std::string(std::get<0>(info.param) == LookupPath::LauncherHelper ? "Helper"
                                                                                 : "FindClass") +
               std::get<1>(info.param).name;
    });

TEST(MainClass, BeforeMainRunsOnceJustBeforeMain) {
    onJavaThread([] {
        TestJvm jvm;
        const std::vector<std::wstring> arguments{L"x"};
        int calls = 0;
        bool mainRanEarly = true;
        MainClassCall call;
        call.mainClass = L"bridgetest/EchoArgs";
        call.arguments = &arguments;
        call.beforeMain = [&] {
            ++calls;
            JNIEnv* env = jvm.env();
            jclass echo = env->FindClass("bridgetest/EchoArgs");
            jfieldID field = env->GetStaticFieldID(echo, "received", "[Ljava/lang/String;");
            mainRanEarly = env->GetStaticObjectField(echo, field) != nullptr;
        };
        EXPECT_EQ(runMainClass(jvm.env(), jvm.vm(), call), MainClassFailure::None);
        EXPECT_EQ(calls, 1);
        EXPECT_FALSE(mainRanEarly);
    });
}

TEST(MainClass, MissingClassThroughFindClassIsDescribedAndReported) {
    onJavaThread([] {
        TestJvm jvm;
        MainClassCall call;
        call.mainClass = L"bridgetest/DoesNotExist";
        ::testing::internal::CaptureStderr();
        const MainClassFailure failure = runMainClass(jvm.env(), jvm.vm(), call);
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(failure, MainClassFailure::ClassNotFound);
        EXPECT_NE(errors.find("NoClassDefFoundError: bridgetest/DoesNotExist"), std::string::npos)
            << errors;
        EXPECT_TRUE(isDetached(jvm.vm()));
    });
}

TEST(MainClass, ClassWithoutMainIsDescribedAndReported) {
    onJavaThread([] {
        TestJvm jvm;
        MainClassCall call;
        call.mainClass = L"bridgetest/NoMain";
        ::testing::internal::CaptureStderr();
        const MainClassFailure failure = runMainClass(jvm.env(), jvm.vm(), call);
        const std::string errors = ::testing::internal::GetCapturedStderr();
        // HotSpot always throws NoSuchMethodError, so the "no main method" text stays unused.
        EXPECT_EQ(failure, MainClassFailure::MainLookupThrew);
        EXPECT_NE(errors.find("NoSuchMethodError"), std::string::npos) << errors;
        EXPECT_TRUE(isDetached(jvm.vm()));
    });
}

// The JVM's launcher class validates the class itself and ends the process as java does.
TEST(MainClassDeathTest, MissingClassThroughLauncherHelperEndsWithJavasMessage) {
    ASSERT_NE(jvmLibrary().findClassFromBootLoader, nullptr);
    EXPECT_EXIT(onJavaThread([] {
                    TestJvm jvm;
                    MainClassCall call;
                    call.findClassFromBootLoader = jvmLibrary().findClassFromBootLoader;
                    call.mainClass = L"bridgetest/DoesNotExist";
                    (void)runMainClass(jvm.env(), jvm.vm(), call);
                }),
                ::testing::ExitedWithCode(1),
                "Could not find or load main class bridgetest.DoesNotExist");
}

void JNICALL printingExitHook(jint status) {
    std::fprintf(stderr, "exit hook %d\n", static_cast<int>(status));
}

TEST(MainClassDeathTest, SystemExitPassesThroughTheExitHook) {
    EXPECT_EXIT(onJavaThread([] {
                    JavaVM* vm = nullptr;
                    JNIEnv* env = nullptr;
                    ASSERT_EQ(createJavaVm(jvmLibrary().createJavaVm, testing::standardOptions(),
                                           printingExitHook, nullptr, &vm, &env),
                              JNI_OK);
                    const std::vector<std::wstring> arguments{L"7"};
                    MainClassCall call;
                    call.findClassFromBootLoader = jvmLibrary().findClassFromBootLoader;
                    call.mainClass = L"bridgetest/ExitWith";
                    call.arguments = &arguments;
                    (void)runMainClass(env, vm, call);
                }),
                ::testing::ExitedWithCode(7), "exit hook 7");
}

TEST(MainClassDeathTest, BlockingAfterMainLeavesTheEndToTheProgram) {
    EXPECT_EXIT(onJavaThread([] {
                    TestJvm jvm;
                    const std::vector<std::wstring> arguments{L"5"};
                    MainClassCall call;
                    call.mainClass = L"bridgetest/ExitLater";
                    call.arguments = &arguments;
                    call.blockForeverAfterMain = true;
                    (void)runMainClass(jvm.env(), jvm.vm(), call);
                    std::fprintf(stderr, "returned\n");
                    std::exit(0);
                }),
                ::testing::ExitedWithCode(5), "");
}

TEST(MainClass, NonDaemonThreadKeepsDestroyWaiting) {
    const std::string marker = testing::scratchFolder() + "/late.txt";
    onJavaThread([&] {
        TestJvm jvm;
        const std::vector<std::wstring> arguments{std::wstring(marker.begin(), marker.end())};
        MainClassCall call;
        call.mainClass = L"bridgetest/Lingering";
        call.arguments = &arguments;
        ASSERT_EQ(runMainClass(jvm.env(), jvm.vm(), call), MainClassFailure::None);
        EXPECT_FALSE(std::filesystem::exists(marker));
        jvm.destroy();
        EXPECT_EQ(testing::readFile(marker), "done");
    });
}

TEST(MainClass, UncaughtExceptionIsHandedOverClearedThenReportedOnDetach) {
    onJavaThread([] {
        TestJvm jvm;
        MainClassCall call;
        call.mainClass = L"bridgetest/Throws";
        std::wstring text;
        bool pendingDuringCallback = true;
        call.onUncaughtException = [&](JNIEnv* env, jthrowable exception) {
            pendingDuringCallback = exceptionPending(env);
            text = describeException(env, exception);
        };
        ::testing::internal::CaptureStderr();
        const MainClassFailure failure = runMainClass(jvm.env(), jvm.vm(), call);
        const std::string errors = ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(failure, MainClassFailure::None);
        EXPECT_FALSE(pendingDuringCallback);
        EXPECT_EQ(text.rfind(L"java.lang.RuntimeException: boom\n", 0), 0U);
        EXPECT_NE(text.find(L"at bridgetest.Throws.main(Throws.java"), std::wstring::npos);
        // Detaching reports the exception, which is pending again, like any thread's.
        EXPECT_NE(errors.find("java.lang.RuntimeException: boom"), std::string::npos) << errors;
    });
}

TEST(CreateJavaVm, UnknownOptionFailsWithTheJvmsCode) {
    onJavaThread([] {
        JavaVM* vm = nullptr;
        JNIEnv* env = nullptr;
        std::vector<std::string> options = testing::standardOptions();
        options.emplace_back("-Xbogus-option");
        ::testing::internal::CaptureStderr();
        const jint result =
            createJavaVm(jvmLibrary().createJavaVm, options, nullptr, nullptr, &vm, &env);
        ::testing::internal::GetCapturedStderr();
        EXPECT_EQ(result, JNI_ERR);
        EXPECT_EQ(vm, nullptr);
    });
}

}  // namespace
}  // namespace jvm
