#include <windows.h>

#include <utility>

#include "tests/support/fake_jvm/jni_env_common_win.h"
#include "tests/support/fake_jvm/record_win.h"
#include "tests/support/fake_jvm/text_codec.h"

// Pending exceptions, references and local frames: the fake keeps every object alive, so
// references only check the JNIEnv.
namespace fakejvm::jni {
namespace {

jthrowable JNICALL exceptionOccurred(JNIEnv* jni) {
    return handleOf<jthrowable>(enter(jni, "ExceptionOccurred", true).pending);
}

jboolean JNICALL exceptionCheck(JNIEnv* jni) {
    return enter(jni, "ExceptionCheck", true).pending != nullptr ? JNI_TRUE : JNI_FALSE;
}

void JNICALL exceptionClear(JNIEnv* jni) { enter(jni, "ExceptionClear", true).pending = nullptr; }

void JNICALL exceptionDescribe(JNIEnv* jni) {
    Env& env = enter(jni, "ExceptionDescribe", true);
    Object* exception = std::exchange(env.pending, nullptr);
    if (exception == nullptr) {
        record("describe none");
        return;
    }
    record("describe " + exception->type->name);
    printTo(systemErr(), exception->text, true);
}

jint JNICALL throwImpl(JNIEnv* jni, jthrowable exception) {
    Env& env = enter(jni, "Throw");
    if (exception == nullptr) return JNI_ERR;
    env.pending = object(exception);
    return JNI_OK;
}

jint JNICALL throwNewImpl(JNIEnv* jni, jclass clazz, const char* message) {
    Env& env = enter(jni, "ThrowNew");
    ClassInfo* type = classOf(clazz);
    if (type == nullptr) fail("misuse ThrowNew with a null class", 98);
    throwNew(env, type->name, utf16FromModifiedUtf8(message == nullptr ? "" : message));
    return JNI_OK;
}

jobject JNICALL newGlobalRef(JNIEnv* jni, jobject handle) {
    (void)enter(jni, "NewGlobalRef");
    return handle;
}
void JNICALL deleteGlobalRef(JNIEnv* jni, jobject) { (void)enter(jni, "DeleteGlobalRef", true); }
void JNICALL deleteLocalRef(JNIEnv* jni, jobject) { (void)enter(jni, "DeleteLocalRef", true); }
jobject JNICALL newLocalRef(JNIEnv* jni, jobject handle) {
    (void)enter(jni, "NewLocalRef");
    return handle;
}
jint JNICALL ensureLocalCapacity(JNIEnv* jni, jint) {
    (void)enter(jni, "EnsureLocalCapacity");
    return JNI_OK;
}
jint JNICALL pushLocalFrame(JNIEnv* jni, jint) {
    (void)enter(jni, "PushLocalFrame", true);
    return JNI_OK;
}
jobject JNICALL popLocalFrame(JNIEnv* jni, jobject result) {
    (void)enter(jni, "PopLocalFrame", true);
    return result;
}
jboolean JNICALL isSameObject(JNIEnv* jni, jobject a, jobject b) {
    (void)enter(jni, "IsSameObject");
    return a == b ? JNI_TRUE : JNI_FALSE;
}
jint JNICALL getJavaVm(JNIEnv* jni, JavaVM** vm) {
    (void)enter(jni, "GetJavaVM");
    *vm = theJavaVm();
    return JNI_OK;
}

}  // namespace

void addExceptionAndReferenceFunctions(JNINativeInterface_& t) {
    t.Throw = throwImpl;
    t.ThrowNew = throwNewImpl;
    t.ExceptionOccurred = exceptionOccurred;
    t.ExceptionDescribe = exceptionDescribe;
    t.ExceptionClear = exceptionClear;
    t.ExceptionCheck = exceptionCheck;
    t.PushLocalFrame = pushLocalFrame;
    t.PopLocalFrame = popLocalFrame;
    t.NewGlobalRef = newGlobalRef;
    t.DeleteGlobalRef = deleteGlobalRef;
    t.DeleteLocalRef = deleteLocalRef;
    t.IsSameObject = isSameObject;
    t.NewLocalRef = newLocalRef;
    t.EnsureLocalCapacity = ensureLocalCapacity;
    t.GetJavaVM = getJavaVm;
}

}  // namespace fakejvm::jni
