#include "jvm/exception_text.h"

#include "jvm/java_strings.h"
#include "jvm/local_ref.h"
#include "jvm/redirection.h"

namespace jvm {

namespace {

jobject newByteArrayOutputStream(JNIEnv* env) {
    const LocalRef bufferClass(env, env->FindClass("java/io/ByteArrayOutputStream"));
    if (!bufferClass) return nullptr;
    const jmethodID constructor = env->GetMethodID(bufferClass.get(), "<init>", "()V");
    if (constructor == nullptr) return nullptr;
    return env->NewObject(bufferClass.get(), constructor);
}

// False when the method cannot be found; exceptions thrown by printStackTrace are described.
bool printStackTraceInto(JNIEnv* env, jthrowable exception, jobject printer) {
    const LocalRef exceptionClass(env, env->GetObjectClass(exception));
    if (!exceptionClass) return false;
    const jmethodID printStackTrace =
        env->GetMethodID(exceptionClass.get(), "printStackTrace", "(Ljava/io/PrintStream;)V");
    if (printStackTrace == nullptr) return false;
    jvalue argument{};
    argument.l = printer;
    env->CallVoidMethodA(exception, printStackTrace, &argument);
    describePendingException(env);
    return true;
}

jstring bufferText(JNIEnv* env, jobject buffer) {
    const LocalRef bufferClass(env, env->GetObjectClass(buffer));
    if (!bufferClass) return nullptr;
    const jmethodID toString =
        env->GetMethodID(bufferClass.get(), "toString", "()Ljava/lang/String;");
    if (toString == nullptr) return nullptr;
    const auto text = static_cast<jstring>(env->CallObjectMethod(buffer, toString));
    describePendingException(env);
    return text;
}

}  // namespace

std::wstring describeException(JNIEnv* env, jthrowable exception) {
    if (exception == nullptr) return {};
    std::wstring text;
    const LocalRef buffer(env, newByteArrayOutputStream(env));
    if (buffer) {
        const LocalRef printer(env, newPrintStream(env, buffer.get()));
        if (printer && printStackTraceInto(env, exception, printer.get())) {
            const LocalRef result(env, bufferText(env, buffer.get()));
            text = javaStringText(env, result.get());
        }
    }
    // A failed lookup leaves its exception pending; the caller must be able to go on.
    describePendingException(env);
    return text;
}

bool callSystemExit(JNIEnv* env, jint status) {
    const LocalRef systemClass(env, env->FindClass("java/lang/System"));
    if (!systemClass) {
        describePendingException(env);
        return false;
    }
    const jmethodID exitMethod = env->GetStaticMethodID(systemClass.get(), "exit", "(I)V");
    if (exitMethod == nullptr) {
        describePendingException(env);
        return false;
    }
    jvalue argument{};
    argument.i = status;
    env->CallStaticVoidMethodA(systemClass.get(), exitMethod, &argument);
    return !describePendingException(env);
}

}  // namespace jvm
