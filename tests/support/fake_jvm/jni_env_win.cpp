#include <windows.h>

#include <cstdarg>
#include <cstring>
#include <mutex>
#include <set>
#include <utility>

#include "tests/support/fake_jvm/jni_env_common_win.h"
#include "tests/support/fake_jvm/jni_slot_names.h"
#include "tests/support/fake_jvm/record_win.h"
#include "tests/support/fake_jvm/text_codec.h"
#include "tests/support/fake_jvm/vm_win.h"

// The JNIEnv functions. Every call checks that the JNIEnv belongs to the calling thread and is
// still attached, and notes calls that the JNI forbids while an exception is pending.
namespace fakejvm {

namespace {

static_assert(sizeof(JNINativeInterface_) == kJniSlotCount * sizeof(void*));

using jni::enter;
using jni::handleOf;
using jni::object;

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
    jni::addArrayFunctions(t);
    jni::addStringFunctions(t);
    jni::addExceptionAndReferenceFunctions(t);
    return t;
}

}  // namespace

namespace jni {

Object* object(jobject handle) { return reinterpret_cast<Object*>(handle); }

Env& enter(JNIEnv* jni, const char* function, bool allowedWhilePending) {
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

}  // namespace jni

const JNINativeInterface_* nativeInterface() {
    static const JNINativeInterface_ table = buildTable();
    return &table;
}

}  // namespace fakejvm
