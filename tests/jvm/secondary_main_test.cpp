// The single-instance hand-over's call into a real JVM, from a native thread of its own as the
// launcher's request workers make it.
#include <thread>

#include <gtest/gtest.h>

#include "jni_test_jvm.h"
#include "jvm/java_strings.h"
#include "jvm/secondary_main.h"

namespace jvm {
namespace {

using testing::Attached;
using testing::onJavaThread;
using testing::TestJvm;
using testing::unitsOf;

struct Served {
    SecondaryOutcome outcome = SecondaryOutcome::NoVm;
    std::vector<jint> answers;
    bool attachedAfterwards = true;
    std::string errors;
};

// Serves one request on a new native thread, as a request worker does.
Served serve(JavaVM* vm, const char* mainClass, std::vector<std::wstring> arguments,
             bool detachAfterwards = true) {
    Served served;
    SecondaryCall call;
    call.mainClass = mainClass;
    call.arguments = std::move(arguments);
    call.detachAfterwards = detachAfterwards;
    call.answer = [&](jint value) { served.answers.push_back(value); };
    ::testing::internal::CaptureStderr();
    std::thread worker([&] {
        served.outcome = callSecondaryMain(vm, call);
        void* env = nullptr;
        served.attachedAfterwards = vm != nullptr && vm->GetEnv(&env, JNI_VERSION_1_2) == JNI_OK;
        if (served.attachedAfterwards) vm->DetachCurrentThread();
    });
    worker.join();
    served.errors = ::testing::internal::GetCapturedStderr();
    return served;
}

std::vector<std::u16string> received(JavaVM* vm, const char* className) {
    Attached attached(vm);
    JNIEnv* env = attached.env();
    jclass type = env->FindClass(className);
    jfieldID field = env->GetStaticFieldID(type, "received", "[Ljava/lang/String;");
    auto array = static_cast<jobjectArray>(env->GetStaticObjectField(type, field));
    std::vector<std::u16string> result;
    for (jsize i = 0; array != nullptr && i < env->GetArrayLength(array); ++i) {
        result.push_back(unitsOf(env, static_cast<jstring>(env->GetObjectArrayElement(array, i))));
    }
    return result;
}

TEST(SecondaryMain, IntVariantAnswersWithItsResultAndDetaches) {
    onJavaThread([] {
        TestJvm jvm;
        const std::vector<std::wstring> arguments{L"caf\u00e9 \u4e2d", L"with space"};
        const Served served = serve(jvm.vm(), "secondarytest/IntAnswer", arguments);
        EXPECT_EQ(served.outcome, SecondaryOutcome::Answered) << served.errors;
        EXPECT_EQ(served.answers, std::vector<jint>{206});
        EXPECT_FALSE(served.attachedAfterwards);
        EXPECT_EQ(received(jvm.vm(), "secondarytest/IntAnswer"),
                  (std::vector<std::u16string>{unitsOf(arguments[0]), u"with space"}));
    });
}

TEST(SecondaryMain, VoidVariantAnswersZeroAndReceivesOneEmptyString) {
    onJavaThread([] {
        TestJvm jvm;
        const Served served = serve(jvm.vm(), "secondarytest/VoidAnswer", {L""});
        EXPECT_EQ(served.outcome, SecondaryOutcome::Answered) << served.errors;
        EXPECT_EQ(served.answers, std::vector<jint>{0});
        EXPECT_EQ(received(jvm.vm(), "secondarytest/VoidAnswer"), std::vector<std::u16string>{u""});
    });
}

TEST(SecondaryMain, IbmRuntimesKeepTheThreadAttached) {
    onJavaThread([] {
        TestJvm jvm;
        const Served served = serve(jvm.vm(), "secondarytest/IntAnswer", {L"x"}, false);
        EXPECT_EQ(served.outcome, SecondaryOutcome::Answered);
        EXPECT_TRUE(served.attachedAfterwards);
    });
}

TEST(SecondaryMain, MissingMethodOrClassGivesNoAnswer) {
    onJavaThread([] {
        TestJvm jvm;
        // A secondaryMain with another parameter list does not count.
        Served served = serve(jvm.vm(), "secondarytest/NoSecondary", {L"x"});
        EXPECT_EQ(served.outcome, SecondaryOutcome::NoMethod);
        EXPECT_TRUE(served.answers.empty());
        EXPECT_NE(served.errors.find("NoSuchMethodError"), std::string::npos) << served.errors;
        EXPECT_FALSE(served.attachedAfterwards);

        served = serve(jvm.vm(), "secondarytest/Absent", {L"x"});
        EXPECT_EQ(served.outcome, SecondaryOutcome::ClassNotFound);
        EXPECT_TRUE(served.answers.empty());
        EXPECT_NE(served.errors.find("NoClassDefFoundError"), std::string::npos) << served.errors;
    });
}

TEST(SecondaryMain, ExceptionIsDescribedAndTheAnswerSaysFailure) {
    onJavaThread([] {
        TestJvm jvm;
        Served served = serve(jvm.vm(), "secondarytest/ThrowingAnswer", {L"x"});
        EXPECT_EQ(served.outcome, SecondaryOutcome::Threw);
        EXPECT_EQ(served.answers, std::vector<jint>{-1});
        EXPECT_NE(served.errors.find("secondary boom"), std::string::npos) << served.errors;
        EXPECT_FALSE(served.attachedAfterwards);

        // The void variant has answered before it ran.
        served = serve(jvm.vm(), "secondarytest/ThrowingVoid", {L"x"});
        EXPECT_EQ(served.outcome, SecondaryOutcome::Threw);
        EXPECT_EQ(served.answers, std::vector<jint>{0});
        EXPECT_NE(served.errors.find("void boom"), std::string::npos) << served.errors;
    });
}

}  // namespace
}  // namespace jvm
