#include <windows.h>

#include <cstdarg>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>

#include "tests/support/fake_jvm/jni_slot_names.h"
#include "tests/support/fake_jvm/record_win.h"
#include "tests/support/fake_jvm/text_codec.h"
#include "tests/support/fake_jvm/vm_win.h"

// The JNIEnv functions. Every call checks that the JNIEnv belongs to the calling thread and is
// still attached, and notes calls that the JNI forbids while an exception is pending.
namespace fakejvm {

JavaVM* theJavaVm();

namespace {

static_assert(sizeof(JNINativeInterface_) == kJniSlotCount * sizeof(void*));

Object* object(jobject handle) { return reinterpret_cast<Object*>(handle); }

template <typename Handle>
Handle handleOf(Object* value) {
    return reinterpret_cast<Handle>(value);
}

Env& enter(JNIEnv* jni, const char* function, bool allowedWhilePending = false) {
    if (jni == nullptr) fail(std::string("misuse ") + function + " with a null JNIEnv", 98);
    Env& env = *reinterpret_cast<Env*>(jni);
    if (env.jni.functions != nativeInterface()) {
        fail(std::string("misuse ") + function + " with a pointer that is no JNIEnv", 98);
    }
    if (!env.attached) fail(std::string("misuse ") + function + " on a detached JNIEnv", 98);
    if (env.threadId != GetCurrentThreadId()) {
        fail(std::string("misuse ") + function + " with another thread's JNIEnv", 98);
    }
    if (env.pending != nullptr && !allowedWhilePending) {
        record(std::string("warning ") + function + " called with a pending exception");
    }
    return env;
}

const Method& methodOf(jmethodID id, const char* function) {
    if (id == nullptr) fail(std::string("misuse ") + function + " with a null jmethodID", 98);
    return *reinterpret_cast<const Method*>(id);
}

// Reads the arguments of a call as the method's signature says they were passed.
std::vector<Value> readArguments(const Method& method, va_list list) {
    std::vector<Value> values(method.parameterKinds.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        switch (method.parameterKinds[i]) {
            case 'J':
                values[i].j = va_arg(list, jlong);
                break;
            case 'F':
            case 'D':
                values[i].d = va_arg(list, double);
                break;
            case 'L':
                values[i].l = object(va_arg(list, jobject));
                break;
            default:  // Z B C S I travel as int
                values[i].i = va_arg(list, int);
                break;
        }
    }
    return values;
}

std::vector<Value> readArguments(const Method& method, const jvalue* list) {
    std::vector<Value> values(method.parameterKinds.size());
    if (list == nullptr && !values.empty()) fail("misuse null jvalue array", 98);
    for (std::size_t i = 0; i < values.size(); ++i) {
        switch (method.parameterKinds[i]) {
            case 'Z':
                values[i].i = list[i].z;
                break;
            case 'B':
                values[i].i = list[i].b;
                break;
            case 'C':
                values[i].i = list[i].c;
                break;
            case 'S':
                values[i].i = list[i].s;
                break;
            case 'I':
                values[i].i = list[i].i;
                break;
            case 'J':
                values[i].j = list[i].j;
                break;
            case 'F':
                values[i].d = static_cast<double>(list[i].f);
                break;
            case 'D':
                values[i].d = list[i].d;
                break;
            default:
                values[i].l = object(list[i].l);
                break;
        }
    }
    return values;
}

// Checks that a call matches its method (static or not, the result wanted, the receiver) and
// runs it.
template <typename Arguments>
Value invoke(JNIEnv* jni, const char* function, jobject receiver, jmethodID id, bool isStatic,
             char result, Arguments arguments) {
    Env& env = enter(jni, function);
    const Method& method = methodOf(id, function);
    const std::string name = method.owner->name + "." + method.name + method.signature;
    if (method.isStatic != isStatic) {
        fail(std::string("misuse ") + function + " on " + (isStatic ? "instance" : "static") +
                 " method " + name,
             98);
    }
    const bool resultMatches =
        result == 'L' ? method.resultKind == 'L' : method.resultKind == result;
    if (!resultMatches) fail(std::string("misuse ") + function + " for " + name, 98);
    Object* self = object(receiver);
    if (isStatic) {
        if (classOf(static_cast<jclass>(receiver)) != method.owner) {
            fail(std::string("misuse ") + function + " with another class for " + name, 98);
        }
        self = nullptr;
    } else if (self == nullptr || self->type != method.owner) {
        fail(std::string("misuse ") + function + " on a wrong receiver for " + name, 98);
    }
    return method.body(env, self, readArguments(method, arguments));
}

// ---- classes and methods ---------------------------------------------------------------------

jint JNICALL getVersion(JNIEnv* jni) {
    (void)enter(jni, "GetVersion");
    return 0x00010008;
}

jclass JNICALL findClassImpl(JNIEnv* jni, const char* name) {
    Env& env = enter(jni, "FindClass");
    const std::string text = name == nullptr ? "null" : name;
    record("findclass " + text);
    ClassInfo* type = name == nullptr ? nullptr : findClass(name);
    if (type == nullptr) {
        throwNew(env, "java/lang/NoClassDefFoundError", utf16FromUtf8(text));
        return nullptr;
    }
    return classHandle(type);
}

jclass JNICALL getObjectClass(JNIEnv* jni, jobject handle) {
    (void)enter(jni, "GetObjectClass");
    const Object* value = object(handle);
    if (value == nullptr) fail("misuse GetObjectClass of null", 98);
    if (value->kind == ObjectKind::Class) return classHandle(findClass("java/lang/Class"));
    return classHandle(value->type);
}

jmethodID lookUpMethod(JNIEnv* jni, jclass clazz, const char* name, const char* signature,
                       bool isStatic) {
    const char* function = isStatic ? "GetStaticMethodID" : "GetMethodID";
    Env& env = enter(jni, function);
    ClassInfo* type = classOf(clazz);
    if (type == nullptr || name == nullptr || signature == nullptr) {
        fail(std::string("misuse ") + function + " with a null argument", 98);
    }
    if (const Method* method = type->method(name, signature, isStatic)) {
        return reinterpret_cast<jmethodID>(const_cast<Method*>(method));
    }
    record(std::string("nomethod ") + type->name + "." + name + signature);
    throwNew(env, "java/lang/NoSuchMethodError", utf16FromUtf8(name));
    return nullptr;
}

jmethodID JNICALL getMethodId(JNIEnv* jni, jclass clazz, const char* name, const char* sig) {
    return lookUpMethod(jni, clazz, name, sig, false);
}
jmethodID JNICALL getStaticMethodId(JNIEnv* jni, jclass clazz, const char* name, const char* sig) {
    return lookUpMethod(jni, clazz, name, sig, true);
}

// ---- objects -----------------------------------------------------------------------------------

ObjectKind kindOfInstances(const ClassInfo& type) {
    if (type.name == "java/lang/String") return ObjectKind::String;
    if (type.name == "java/io/FileOutputStream") return ObjectKind::FileStream;
    if (type.name == "java/io/ByteArrayOutputStream") return ObjectKind::ByteStream;
    if (type.name == "java/io/PrintStream") return ObjectKind::PrintStream;
    return ObjectKind::Throwable;
}

template <typename Arguments>
jobject construct(JNIEnv* jni, const char* function, jclass clazz, jmethodID id,
                  Arguments arguments) {
    Env& env = enter(jni, function);
    const Method& method = methodOf(id, function);
    ClassInfo* type = classOf(clazz);
    if (type == nullptr || method.name != "<init>" || method.owner != type) {
        fail(std::string("misuse ") + function + " with a method that is no constructor of " +
                 (type == nullptr ? std::string("null") : type->name),
             98);
    }
    Object* created = newObject(kindOfInstances(*type), type);
    method.body(env, created, readArguments(method, arguments));
    // A constructor that threw yields no object.
    return env.pending != nullptr ? nullptr : handleOf<jobject>(created);
}

jobject JNICALL newObjectV(JNIEnv* jni, jclass clazz, jmethodID id, va_list list) {
    return construct(jni, "NewObjectV", clazz, id, list);
}
jobject JNICALL newObjectA(JNIEnv* jni, jclass clazz, jmethodID id, const jvalue* list) {
    return construct(jni, "NewObjectA", clazz, id, list);
}
jobject JNICALL newObjectImpl(JNIEnv* jni, jclass clazz, jmethodID id, ...) {
    va_list list;
    va_start(list, id);
    jobject result = construct(jni, "NewObject", clazz, id, list);
    va_end(list);
    return result;
}

// Calls: one body per result kind and static-ness, three argument forms each.
#define FAKEJVM_CALLS(Name, Type, isStatic, letter, pick)                                       \
    Type JNICALL call##Name##V(JNIEnv* jni, jobject target, jmethodID id, va_list list) {       \
        return pick(invoke(jni, "Call" #Name "V", target, id, isStatic, letter, list));         \
    }                                                                                           \
    Type JNICALL call##Name##A(JNIEnv* jni, jobject target, jmethodID id, const jvalue* list) { \
        return pick(invoke(jni, "Call" #Name "A", target, id, isStatic, letter, list));         \
    }                                                                                           \
    Type JNICALL call##Name(JNIEnv* jni, jobject target, jmethodID id, ...) {                   \
        va_list list;                                                                           \
        va_start(list, id);                                                                     \
        Value result = invoke(jni, "Call" #Name, target, id, isStatic, letter, list);           \
        va_end(list);                                                                           \
        return pick(result);                                                                    \
    }

void pickVoid(const Value&) {}
jobject pickObject(const Value& value) { return handleOf<jobject>(value.l); }
jint pickInt(const Value& value) { return value.i; }

FAKEJVM_CALLS(VoidMethod, void, false, 'V', pickVoid)
FAKEJVM_CALLS(ObjectMethod, jobject, false, 'L', pickObject)
FAKEJVM_CALLS(IntMethod, jint, false, 'I', pickInt)
#undef FAKEJVM_CALLS

// Static calls take a jclass where instance calls take a jobject.
#define FAKEJVM_STATIC_CALLS(Name, Type, letter, pick)                                         \
    Type JNICALL callStatic##Name##V(JNIEnv* jni, jclass target, jmethodID id, va_list list) { \
        return pick(invoke(jni, "CallStatic" #Name "V", target, id, true, letter, list));      \
    }                                                                                          \
    Type JNICALL callStatic##Name##A(JNIEnv* jni, jclass target, jmethodID id,                 \
                                     const jvalue* list) {                                     \
        return pick(invoke(jni, "CallStatic" #Name "A", target, id, true, letter, list));      \
    }                                                                                          \
    Type JNICALL callStatic##Name(JNIEnv* jni, jclass target, jmethodID id, ...) {             \
        va_list list;                                                                          \
        va_start(list, id);                                                                    \
        Value result = invoke(jni, "CallStatic" #Name, target, id, true, letter, list);        \
        va_end(list);                                                                          \
        return pick(result);                                                                   \
    }

FAKEJVM_STATIC_CALLS(VoidMethod, void, 'V', pickVoid)
FAKEJVM_STATIC_CALLS(ObjectMethod, jobject, 'L', pickObject)
FAKEJVM_STATIC_CALLS(IntMethod, jint, 'I', pickInt)
#undef FAKEJVM_STATIC_CALLS

// ---- arrays ------------------------------------------------------------------------------------

// Bigger arrays fail as a real JVM with a small heap would.
constexpr jsize kLargestArray = 64 * 1024 * 1024;

jcharArray JNICALL newCharArray(JNIEnv* jni, jsize length) {
    Env& env = enter(jni, "NewCharArray");
    if (length < 0) {
        throwNew(env, "java/lang/NegativeArraySizeException",
                 utf16FromUtf8(std::to_string(length)));
        return nullptr;
    }
    if (length > kLargestArray) {
        throwNew(env, "java/lang/OutOfMemoryError", u"Java heap space");
        return nullptr;
    }
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
    if (length < 0) {
        throwNew(env, "java/lang/NegativeArraySizeException",
                 utf16FromUtf8(std::to_string(length)));
        return nullptr;
    }
    if (length > kLargestArray) {
        throwNew(env, "java/lang/OutOfMemoryError", u"Java heap space");
        return nullptr;
    }
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

// ---- strings -----------------------------------------------------------------------------------

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

// ---- exceptions and references -----------------------------------------------------------------

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

// ---- the table ---------------------------------------------------------------------------------

template <std::size_t Slot>
void JNICALL unimplemented() {
    fail(std::string("unimplemented ") + kJniSlotNames[Slot], 99);
}

template <std::size_t... Slots>
void fillWithStubs(JNINativeInterface_& table, std::index_sequence<Slots...>) {
    using Stub = void(JNICALL*)();
    const Stub stubs[] = {&unimplemented<Slots>...};
    static_assert(sizeof stubs == sizeof table);
    std::memcpy(&table, stubs, sizeof table);
}

JNINativeInterface_ buildTable() {
    JNINativeInterface_ t{};
    fillWithStubs(t, std::make_index_sequence<kJniSlotCount>());
    t.GetVersion = getVersion;
    t.FindClass = findClassImpl;
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
    t.NewObject = newObjectImpl;
    t.NewObjectV = newObjectV;
    t.NewObjectA = newObjectA;
    t.GetObjectClass = getObjectClass;
    t.GetMethodID = getMethodId;
    t.GetStaticMethodID = getStaticMethodId;
    t.CallObjectMethod = callObjectMethod;
    t.CallObjectMethodV = callObjectMethodV;
    t.CallObjectMethodA = callObjectMethodA;
    t.CallIntMethod = callIntMethod;
    t.CallIntMethodV = callIntMethodV;
    t.CallIntMethodA = callIntMethodA;
    t.CallVoidMethod = callVoidMethod;
    t.CallVoidMethodV = callVoidMethodV;
    t.CallVoidMethodA = callVoidMethodA;
    t.CallStaticObjectMethod = callStaticObjectMethod;
    t.CallStaticObjectMethodV = callStaticObjectMethodV;
    t.CallStaticObjectMethodA = callStaticObjectMethodA;
    t.CallStaticIntMethod = callStaticIntMethod;
    t.CallStaticIntMethodV = callStaticIntMethodV;
    t.CallStaticIntMethodA = callStaticIntMethodA;
    t.CallStaticVoidMethod = callStaticVoidMethod;
    t.CallStaticVoidMethodV = callStaticVoidMethodV;
    t.CallStaticVoidMethodA = callStaticVoidMethodA;
    t.NewString = newStringImpl;
    t.GetStringLength = getStringLength;
    t.GetStringChars = getStringChars;
    t.ReleaseStringChars = releaseStringChars;
    t.NewStringUTF = newStringUtf;
    t.GetStringUTFLength = getStringUtfLength;
    t.GetStringUTFChars = getStringUtfChars;
    t.ReleaseStringUTFChars = releaseStringUtfChars;
    t.GetArrayLength = getArrayLength;
    t.NewObjectArray = newObjectArray;
    t.GetObjectArrayElement = getObjectArrayElement;
    t.SetObjectArrayElement = setObjectArrayElement;
    t.NewCharArray = newCharArray;
    t.SetCharArrayRegion = setCharArrayRegion;
    t.GetJavaVM = getJavaVm;
    return t;
}

}  // namespace

const JNINativeInterface_* nativeInterface() {
    static const JNINativeInterface_ table = buildTable();
    return &table;
}

}  // namespace fakejvm
