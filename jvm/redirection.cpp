#include "jvm/redirection.h"

#include "jvm/java_strings.h"
#include "jvm/local_ref.h"

namespace jvm {

namespace {

jobject newFileOutputStream(JNIEnv* env, std::wstring_view fileName, bool append) {
    const LocalRef name(env, newJavaString(env, fileName));
    if (!name) return nullptr;
    const LocalRef streamClass(env, env->FindClass("java/io/FileOutputStream"));
    if (!streamClass) return nullptr;
    const jmethodID constructor =
        env->GetMethodID(streamClass.get(), "<init>", "(Ljava/lang/String;Z)V");
    if (constructor == nullptr) return nullptr;
    jvalue arguments[2] = {};
    arguments[0].l = name.get();
    arguments[1].z = append ? JNI_TRUE : JNI_FALSE;
    return env->NewObjectA(streamClass.get(), constructor, arguments);
}

void installStream(JNIEnv* env, std::wstring_view fileName, bool append, const char* setterName) {
    const LocalRef fileStream(env, newFileOutputStream(env, fileName, append));
    if (!fileStream) return;
    const LocalRef printStream(env, newPrintStream(env, fileStream.get()));
    if (!printStream) return;
    const LocalRef systemClass(env, env->FindClass("java/lang/System"));
    if (!systemClass) return;
    const jmethodID setter =
        env->GetStaticMethodID(systemClass.get(), setterName, "(Ljava/io/PrintStream;)V");
    if (setter == nullptr) return;
    jvalue argument{};
    argument.l = printStream.get();
    env->CallStaticVoidMethodA(systemClass.get(), setter, &argument);
}

// Replaces System.out or System.err (setterName "setOut" or "setErr").
void redirectStream(JNIEnv* env, std::wstring_view fileName, bool append, const char* setterName) {
    installStream(env, fileName, append, setterName);
    describePendingException(env);
}

}  // namespace

jobject newPrintStream(JNIEnv* env, jobject outputStream) {
    const LocalRef printClass(env, env->FindClass("java/io/PrintStream"));
    if (!printClass) return nullptr;
    const jmethodID constructor =
        env->GetMethodID(printClass.get(), "<init>", "(Ljava/io/OutputStream;)V");
    if (constructor == nullptr) return nullptr;
    jvalue argument{};
    argument.l = outputStream;
    return env->NewObjectA(printClass.get(), constructor, &argument);
}

void redirectStandardStreams(JNIEnv* env, const StreamTarget& output, const StreamTarget& error,
                             const std::function<void(const std::wstring&)>& prepareFolders) {
    const auto redirect = [&](const StreamTarget& target, const char* setterName) {
        if (target.fileName.empty()) return;
        if (prepareFolders) prepareFolders(target.fileName);
        redirectStream(env, target.fileName, target.append, setterName);
    };
    redirect(output, "setOut");
    redirect(error, "setErr");
}

}  // namespace jvm
