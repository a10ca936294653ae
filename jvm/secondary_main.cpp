#include "jvm/secondary_main.h"

#include "jvm/java_strings.h"
#include "jvm/local_ref.h"

namespace jvm {

namespace {

constexpr const char* kVoidSignature = "([Ljava/lang/String;)V";
constexpr const char* kIntSignature = "([Ljava/lang/String;)I";
// The launcher's exit code for a failure.
constexpr jint kFailedAnswer = -1;

SecondaryOutcome callOnAttachedThread(JNIEnv* env, const SecondaryCall& call) {
    const LocalRef mainClass(env, env->FindClass(call.mainClass.c_str()));
    if (!mainClass) {
        describePendingException(env);
        return SecondaryOutcome::ClassNotFound;
    }

    // The void variant wins when a class declares both.
    bool returnsInt = false;
    jmethodID method = env->GetStaticMethodID(mainClass.get(), "secondaryMain", kVoidSignature);
    if (exceptionPending(env)) env->ExceptionClear();
    if (method == nullptr) {
        method = env->GetStaticMethodID(mainClass.get(), "secondaryMain", kIntSignature);
        returnsInt = true;
    }
    if (method == nullptr) {
        describePendingException(env);
        return SecondaryOutcome::NoMethod;
    }

    const LocalRef arguments(env, newJavaStringArray(env, call.arguments));
    if (!arguments) {
        describePendingException(env);
        return SecondaryOutcome::ArgumentArray;
    }
    jvalue argument{};
    argument.l = arguments.get();
    if (returnsInt) {
        const jint result = env->CallStaticIntMethodA(mainClass.get(), method, &argument);
        // A method that threw returned nothing; 0 would tell the second instance all went well.
        const bool threw = exceptionPending(env);
        if (call.answer) call.answer(threw ? kFailedAnswer : result);
    } else {
        if (call.answer) call.answer(0);
        env->CallStaticVoidMethodA(mainClass.get(), method, &argument);
    }
    return describePendingException(env) ? SecondaryOutcome::Threw : SecondaryOutcome::Answered;
}

}  // namespace

SecondaryOutcome callSecondaryMain(JavaVM* vm, const SecondaryCall& call) {
    if (vm == nullptr) return SecondaryOutcome::NoVm;
    void* attached = nullptr;
    if (vm->AttachCurrentThread(&attached, nullptr) != JNI_OK || attached == nullptr) {
        return SecondaryOutcome::AttachFailed;
    }
    // The local references are gone before the thread detaches.
    const SecondaryOutcome outcome = callOnAttachedThread(static_cast<JNIEnv*>(attached), call);
    if (call.detachAfterwards) vm->DetachCurrentThread();
    return outcome;
}

}  // namespace jvm
