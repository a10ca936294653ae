#include <windows.h>

#include <string>

#include "tests/support/fake_jvm/jni_env_common_win.h"
#include "tests/support/fake_jvm/record_win.h"
#include "tests/support/fake_jvm/text_codec.h"

// The JNI array functions: char and object arrays, bounds checked as a JVM checks them.
namespace fakejvm::jni {
namespace {

// A negative length or one beyond the heap leaves the exception a JVM throws pending.
bool refusesLength(Env& env, jsize length) {
    if (length < 0) {
        throwNew(env, "java/lang/NegativeArraySizeException",
                 utf16FromUtf8(std::to_string(length)));
        return true;
    }
    if (length > kLargestArray) {
        throwNew(env, "java/lang/OutOfMemoryError", u"Java heap space");
        return true;
    }
    return false;
}

jcharArray JNICALL newCharArray(JNIEnv* jni, jsize length) {
    Env& env = enter(jni, "NewCharArray");
    if (refusesLength(env, length)) return nullptr;
    Object* array = newObject(ObjectKind::CharArray, nullptr);
    array->text.assign(static_cast<std::size_t>(length), u'\0');
    return handleOf<jcharArray>(array);
}

bool outOfBounds(jsize start, jsize length, std::size_t size) {
    return start < 0 || length < 0 || static_cast<std::size_t>(start) > size ||
           static_cast<std::size_t>(length) > size - static_cast<std::size_t>(start);
}

void JNICALL setCharArrayRegion(JNIEnv* jni, jcharArray handle, jsize start, jsize length,
                                const jchar* units) {
    Env& env = enter(jni, "SetCharArrayRegion");
    Object* array = object(handle);
    if (array == nullptr || array->kind != ObjectKind::CharArray) {
        fail("misuse SetCharArrayRegion on something that is no char[]", 98);
    }
    if (outOfBounds(start, length, array->text.size())) {
        throwNew(env, "java/lang/ArrayIndexOutOfBoundsException", u"SetCharArrayRegion");
        return;
    }
    for (jsize i = 0; i < length; ++i) {
        array->text[static_cast<std::size_t>(start + i)] = static_cast<char16_t>(units[i]);
    }
}

jobjectArray JNICALL newObjectArray(JNIEnv* jni, jsize length, jclass elementClass,
                                    jobject initial) {
    Env& env = enter(jni, "NewObjectArray");
    ClassInfo* type = classOf(elementClass);
    if (type == nullptr) fail("misuse NewObjectArray with a null element class", 98);
    if (refusesLength(env, length)) return nullptr;
    Object* array = newObject(ObjectKind::ObjectArray, nullptr);
    array->elementType = type;
    array->elements.assign(static_cast<std::size_t>(length), object(initial));
    return handleOf<jobjectArray>(array);
}

Object* objectArray(jobjectArray handle, const char* function) {
    Object* array = object(handle);
    if (array == nullptr || array->kind != ObjectKind::ObjectArray) {
        fail(std::string("misuse ") + function + " on something that is no Object[]", 98);
    }
    return array;
}

void JNICALL setObjectArrayElement(JNIEnv* jni, jobjectArray handle, jsize index, jobject value) {
    Env& env = enter(jni, "SetObjectArrayElement");
    Object* array = objectArray(handle, "SetObjectArrayElement");
    if (outOfBounds(index, 1, array->elements.size())) {
        throwNew(env, "java/lang/ArrayIndexOutOfBoundsException",
                 utf16FromUtf8(std::to_string(index)));
        return;
    }
    Object* element = object(value);
    if (element != nullptr && element->kind != ObjectKind::Class &&
        element->type != array->elementType) {
        throwNew(env, "java/lang/ArrayStoreException", u"element type");
        return;
    }
    array->elements[static_cast<std::size_t>(index)] = element;
}

jobject JNICALL getObjectArrayElement(JNIEnv* jni, jobjectArray handle, jsize index) {
    Env& env = enter(jni, "GetObjectArrayElement");
    Object* array = objectArray(handle, "GetObjectArrayElement");
    if (outOfBounds(index, 1, array->elements.size())) {
        throwNew(env, "java/lang/ArrayIndexOutOfBoundsException",
                 utf16FromUtf8(std::to_string(index)));
        return nullptr;
    }
    return handleOf<jobject>(array->elements[static_cast<std::size_t>(index)]);
}

jsize JNICALL getArrayLength(JNIEnv* jni, jarray handle) {
    (void)enter(jni, "GetArrayLength");
    const Object* array = object(handle);
    if (array != nullptr && array->kind == ObjectKind::CharArray) {
        return static_cast<jsize>(array->text.size());
    }
    if (array != nullptr && array->kind == ObjectKind::ObjectArray) {
        return static_cast<jsize>(array->elements.size());
    }
    fail("misuse GetArrayLength on something that is no array", 98);
}

}  // namespace

void addArrayFunctions(JNINativeInterface_& t) {
    t.GetArrayLength = getArrayLength;
    t.NewObjectArray = newObjectArray;
    t.GetObjectArrayElement = getObjectArrayElement;
    t.SetObjectArrayElement = setObjectArrayElement;
    t.NewCharArray = newCharArray;
    t.SetCharArrayRegion = setCharArrayRegion;
}

}  // namespace fakejvm::jni
