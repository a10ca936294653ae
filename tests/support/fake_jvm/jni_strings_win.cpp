#include <windows.h>

#include <algorithm>
#include <mutex>
#include <set>
#include <string>

#include "tests/support/fake_jvm/jni_env_common_win.h"
#include "tests/support/fake_jvm/record_win.h"
#include "tests/support/fake_jvm/text_codec.h"

// The JNI string functions, with every buffer handed out tracked so a wrong release is caught.
namespace fakejvm::jni {
namespace {

// Buffers handed out by Get*Chars, so a release of anything else is caught.
std::mutex bufferMutex;
std::set<const void*> liveBuffers;

const Object* stringOf(jstring handle, const char* function) {
    const Object* string = object(handle);
    if (string == nullptr || string->kind != ObjectKind::String) {
        fail(std::string("misuse ") + function + " on something that is no String", 98);
    }
    return string;
}

template <typename Unit>
void releaseBuffer(const Unit* buffer, const char* function) {
    {
        const std::lock_guard lock(bufferMutex);
        if (liveBuffers.erase(buffer) == 0) {
            fail(std::string("misuse ") + function + " of a buffer not handed out", 98);
        }
    }
    delete[] buffer;
}

template <typename Unit>
const Unit* handOut(const std::basic_string<Unit>& text) {
    auto* buffer = new Unit[text.size() + 1];
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = Unit{};
    const std::lock_guard lock(bufferMutex);
    liveBuffers.insert(buffer);
    return buffer;
}

jstring JNICALL newStringImpl(JNIEnv* jni, const jchar* units, jsize length) {
    Env& env = enter(jni, "NewString");
    if (length < 0 || (units == nullptr && length > 0)) {
        fail("misuse NewString with a bad length or buffer", 98);
    }
    if (length > kLargestArray) {
        throwNew(env, "java/lang/OutOfMemoryError", u"Java heap space");
        return nullptr;
    }
    std::u16string text(static_cast<std::size_t>(length), u'\0');
    for (jsize i = 0; i < length; ++i) {
        text[static_cast<std::size_t>(i)] = static_cast<char16_t>(units[i]);
    }
    return handleOf<jstring>(newString(std::move(text)));
}

jstring JNICALL newStringUtf(JNIEnv* jni, const char* bytes) {
    (void)enter(jni, "NewStringUTF");
    if (bytes == nullptr) return nullptr;
    return handleOf<jstring>(newString(utf16FromModifiedUtf8(bytes)));
}

jsize JNICALL getStringLength(JNIEnv* jni, jstring handle) {
    (void)enter(jni, "GetStringLength");
    return static_cast<jsize>(stringOf(handle, "GetStringLength")->text.size());
}

jsize JNICALL getStringUtfLength(JNIEnv* jni, jstring handle) {
    (void)enter(jni, "GetStringUTFLength");
    return static_cast<jsize>(
        modifiedUtf8FromUtf16(stringOf(handle, "GetStringUTFLength")->text).size());
}

const char* JNICALL getStringUtfChars(JNIEnv* jni, jstring handle, jboolean* isCopy) {
    (void)enter(jni, "GetStringUTFChars");
    const Object* string = stringOf(handle, "GetStringUTFChars");
    if (isCopy != nullptr) *isCopy = JNI_TRUE;
    return handOut(modifiedUtf8FromUtf16(string->text));
}

void JNICALL releaseStringUtfChars(JNIEnv* jni, jstring handle, const char* buffer) {
    (void)enter(jni, "ReleaseStringUTFChars", true);
    (void)stringOf(handle, "ReleaseStringUTFChars");
    releaseBuffer(buffer, "ReleaseStringUTFChars");
}

const jchar* JNICALL getStringChars(JNIEnv* jni, jstring handle, jboolean* isCopy) {
    (void)enter(jni, "GetStringChars");
    const Object* string = stringOf(handle, "GetStringChars");
    if (isCopy != nullptr) *isCopy = JNI_TRUE;
    std::basic_string<jchar> units;
    units.reserve(string->text.size());
    for (const char16_t unit : string->text) units += static_cast<jchar>(unit);
    return handOut(units);
}

void JNICALL releaseStringChars(JNIEnv* jni, jstring handle, const jchar* buffer) {
    (void)enter(jni, "ReleaseStringChars", true);
    (void)stringOf(handle, "ReleaseStringChars");
    releaseBuffer(buffer, "ReleaseStringChars");
}

}  // namespace

void addStringFunctions(JNINativeInterface_& t) {
    t.NewString = newStringImpl;
    t.GetStringLength = getStringLength;
    t.GetStringChars = getStringChars;
    t.ReleaseStringChars = releaseStringChars;
    t.NewStringUTF = newStringUtf;
    t.GetStringUTFLength = getStringUtfLength;
    t.GetStringUTFChars = getStringUtfChars;
    t.ReleaseStringUTFChars = releaseStringUtfChars;
}

}  // namespace fakejvm::jni
