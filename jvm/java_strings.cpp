#include "jvm/java_strings.h"

#include <cstring>
#include <limits>

#include "jvm/local_ref.h"
#include "jvm/modified_utf8.h"

namespace jvm {

static_assert(sizeof(jint) == 4 && sizeof(jlong) == 8 && sizeof(jchar) == 2,
              "jni_md.h does not match the platform's data model");

jstring newJavaString(JNIEnv* env, std::wstring_view text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<jsize>::max())) return nullptr;
    const auto length = static_cast<jsize>(text.size());
    const LocalRef stringClass(env, env->FindClass("java/lang/String"));
    if (!stringClass) return nullptr;
    const jmethodID constructor = env->GetMethodID(stringClass.get(), "<init>", "([C)V");
    if (constructor == nullptr) return nullptr;
    const LocalRef chars(env, env->NewCharArray(length));
    if (!chars) return nullptr;
    if (!text.empty()) {
        std::basic_string<jchar> units(text.size(), 0);
        for (std::size_t i = 0; i < text.size(); ++i) units[i] = static_cast<jchar>(text[i]);
        env->SetCharArrayRegion(chars.get(), 0, length, units.data());
    }
    if (exceptionPending(env)) return nullptr;
    jvalue argument{};
    argument.l = chars.get();
    return static_cast<jstring>(env->NewObjectA(stringClass.get(), constructor, &argument));
}

jobjectArray newJavaStringArray(JNIEnv* env, const std::vector<std::wstring>& list) {
    if (list.size() > static_cast<std::size_t>(std::numeric_limits<jsize>::max())) return nullptr;
    const LocalRef stringClass(env, env->FindClass("java/lang/String"));
    if (!stringClass) return nullptr;
    LocalRef array(
        env, env->NewObjectArray(static_cast<jsize>(list.size()), stringClass.get(), nullptr));
    if (!array) return nullptr;
    for (std::size_t i = 0; i < list.size(); ++i) {
        const LocalRef element(env, newJavaString(env, list[i]));
        if (!element) return nullptr;
        env->SetObjectArrayElement(array.get(), static_cast<jsize>(i), element.get());
    }
    return array.release();
}

std::wstring javaStringText(JNIEnv* env, jstring text) {
    if (text == nullptr) return {};
    const char* bytes = env->GetStringUTFChars(text, nullptr);
    if (bytes == nullptr) return {};
    std::wstring result = decodeModifiedUtf8(std::string_view(bytes, std::strlen(bytes)));
    env->ReleaseStringUTFChars(text, bytes);
    return result;
}

bool exceptionPending(JNIEnv* env) {
    const LocalRef<jthrowable> pending(env, env->ExceptionOccurred());
    return static_cast<bool>(pending);
}

bool describePendingException(JNIEnv* env) {
    if (!exceptionPending(env)) return false;
    env->ExceptionDescribe();
    return true;
}

}  // namespace jvm
