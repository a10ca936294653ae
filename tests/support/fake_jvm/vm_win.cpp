#include <windows.h>

#include "tests/support/fake_jvm/vm_win.h"

#include <algorithm>
#include <map>
#include <mutex>
#include <utility>

#include "tests/support/fake_jvm/record_win.h"
#include "tests/support/fake_jvm/text_codec.h"
#include "tests/support/fake_jvm/vm_classes_win.h"

namespace fakejvm {
namespace {

using ExitHook = void(JNICALL*)(jint);
using AbortHook = void(JNICALL*)();

struct State {
    std::recursive_mutex mutex;
    std::map<std::string, std::unique_ptr<ClassInfo>, std::less<>> classes;
    std::vector<std::unique_ptr<Object>> objects;
    std::map<DWORD, std::unique_ptr<Env>> envs;
    // Environments of detached threads stay allocated so a stale JNIEnv* is caught, not a crash.
    std::vector<std::unique_ptr<Env>> detachedEnvs;
    std::vector<HANDLE> javaThreads;
    Object* systemOut = nullptr;
    Object* systemErr = nullptr;
    ExitHook exitHook = nullptr;
    AbortHook abortHook = nullptr;
};

State& state() {
    static State* const instance = new State;  // never destroyed: hooks may run at exit
    return *instance;
}

ClassInfo& defineClass(std::string_view name) {
    State& s = state();
    auto [it, inserted] = s.classes.try_emplace(std::string(name));
    if (inserted) {
        it->second = std::make_unique<ClassInfo>();
        it->second->name = std::string(name);
        it->second->classObject.kind = ObjectKind::Class;
        it->second->classObject.type = it->second.get();
    }
    return *it->second;
}

void defineMethod(ClassInfo& type, std::string_view name, std::string_view signature, bool isStatic,
                  NativeMethod body) {
    auto method = std::make_unique<Method>();
    method->owner = &type;
    method->name = std::string(name);
    method->signature = std::string(signature);
    method->isStatic = isStatic;
    method->body = body;
    if (!parseSignature(signature, method->parameterKinds, method->resultKind)) {
        fail("misuse internal signature " + std::string(signature), 98);
    }
    type.methods.push_back(std::move(method));
}

// ---- exceptions ----------------------------------------------------------------------------

Value printStackTrace(Env& env, Object* self, const std::vector<Value>& args) {
    record("printStackTrace");
    Object* printer = args[0].l;
    if (printer == nullptr) {
        throwNew(env, "java/lang/NullPointerException", u"s");
        return {};
    }
    const auto mode = scenario().describeThrows;
    if (mode == Scenario::DescribeThrows::Partial) {
        const auto lineEnd = self->text.find(u'\n');
        printTo(printer,
                std::u16string_view(self->text)
                    .substr(0, lineEnd == std::u16string::npos ? lineEnd : lineEnd + 1),
                false);
    } else if (mode == Scenario::DescribeThrows::No) {
        printTo(printer, self->text, false);
    }
    if (mode != Scenario::DescribeThrows::No) {
        throwNew(env, "java/lang/IllegalStateException", u"printStackTrace failed");
    }
    return {};
}

}  // namespace

std::string dotted(std::string_view name) {
    std::string text(name);
    for (char& c : text) {
        if (c == '/') c = '.';
    }
    return text;
}

ClassInfo& defineThrowableClass(std::string_view name) {
    ClassInfo& type = defineClass(name);
    if (type.methods.empty()) {
        defineMethod(type, "printStackTrace", "(Ljava/io/PrintStream;)V", false, printStackTrace);
    }
    return type;
}

void setSystemStream(bool error, Object* stream) {
    const std::lock_guard lock(state().mutex);
    (error ? state().systemErr : state().systemOut) = stream;
}

Object* systemOut() {
    const std::lock_guard lock(state().mutex);
    return state().systemOut;
}

void addNonDaemonThread(HANDLE thread) {
    const std::lock_guard lock(state().mutex);
    state().javaThreads.push_back(thread);
}

const Method* ClassInfo::method(std::string_view wanted, std::string_view signature,
                                bool isStatic) const {
    for (const auto& candidate : methods) {
        if (candidate->name == wanted && candidate->signature == signature &&
            candidate->isStatic == isStatic) {
            return candidate.get();
        }
    }
    return nullptr;
}

bool parseSignature(std::string_view signature, std::string& parameters, char& result) {
    parameters.clear();
    if (signature.empty() || signature.front() != '(') return false;
    std::size_t i = 1;
    // Reads one type at i; its JNI kind letter goes to kind.
    auto readType = [&](char& kind) {
        std::size_t start = i;
        while (i < signature.size() && signature[i] == '[') ++i;
        if (i >= signature.size()) return false;
        const char letter = signature[i];
        if (letter == 'L') {
            const auto end = signature.find(';', i);
            if (end == std::string_view::npos) return false;
            i = end + 1;
            kind = 'L';
        } else if (std::string_view("ZBCSIJFD").find(letter) != std::string_view::npos) {
            ++i;
            kind = i - start > 1 ? 'L' : letter;
        } else {
            return false;
        }
        if (i - start > 1 || kind == 'L') kind = 'L';
        return true;
    };
    while (i < signature.size() && signature[i] != ')') {
        char kind = 0;
        if (!readType(kind)) return false;
        parameters += kind;
    }
    if (i >= signature.size()) return false;
    ++i;
    if (i < signature.size() && signature[i] == 'V') {
        result = 'V';
        return i + 1 == signature.size();
    }
    if (!readType(result)) return false;
    return i == signature.size();
}

const Scenario& scenario() {
    static const Scenario parsed = parseScenario(readScenarioText());
    return parsed;
}

void createClasses() {
    const std::lock_guard lock(state().mutex);
    const Scenario& s = scenario();
    defineMethod(defineClass("java/lang/String"), "<init>", "([C)V", false, stringInit);
    defineClass("java/lang/Object");
    defineClass("java/lang/Class");
    ClassInfo& system = defineClass("java/lang/System");
    defineMethod(system, "setOut", "(Ljava/io/PrintStream;)V", true, systemSetOut);
    defineMethod(system, "setErr", "(Ljava/io/PrintStream;)V", true, systemSetErr);
    defineMethod(system, "exit", "(I)V", true, systemExitMethod);
    defineClass("java/io/OutputStream");
    defineMethod(defineClass("java/io/FileOutputStream"), "<init>", "(Ljava/lang/String;Z)V", false,
                 fileStreamInit);
    defineMethod(defineClass("java/io/PrintStream"), "<init>", "(Ljava/io/OutputStream;)V", false,
                 printStreamInit);
    ClassInfo& bytes = defineClass("java/io/ByteArrayOutputStream");
    defineMethod(bytes, "<init>", "()V", false, byteStreamInit);
    defineMethod(bytes, "toString", "()Ljava/lang/String;", false, byteStreamToString);
    for (const char* name :
         {"java/lang/Throwable", "java/lang/RuntimeException", "java/lang/NoClassDefFoundError",
          "java/lang/NoSuchMethodError", "java/io/FileNotFoundException",
          "java/lang/NullPointerException", "java/lang/SecurityException"}) {
        (void)defineThrowableClass(name);
    }
    if (s.launcherHelper) {
        defineMethod(defineClass("sun/launcher/LauncherHelper"), "checkAndLoadMain",
                     "(ZILjava/lang/String;)Ljava/lang/Class;", true, checkAndLoadMain);
    }
    ClassInfo& application = defineClass(s.mainClass);
    if (s.hasMain) {
        defineMethod(application, "main", "([Ljava/lang/String;)V", true, mainMethod);
    }
    if (s.secondary == Scenario::Secondary::Void) {
        defineMethod(application, "secondaryMain", "([Ljava/lang/String;)V", true,
                     secondaryMainMethod);
    } else if (s.secondary == Scenario::Secondary::Int) {
        defineMethod(application, "secondaryMain", "([Ljava/lang/String;)I", true,
                     secondaryMainMethod);
    }
}

ClassInfo* findClass(std::string_view name) {
    const std::lock_guard lock(state().mutex);
    const auto it = state().classes.find(name);
    return it == state().classes.end() ? nullptr : it->second.get();
}

ClassInfo* classOf(jclass handle) {
    auto* object = reinterpret_cast<Object*>(handle);
    if (object == nullptr) return nullptr;
    if (object->kind != ObjectKind::Class) fail("misuse a non-class object used as jclass", 98);
    return object->type;
}

jclass classHandle(ClassInfo* type) {
    return type == nullptr ? nullptr : reinterpret_cast<jclass>(&type->classObject);
}

Object* newObject(ObjectKind kind, ClassInfo* type) {
    auto object = std::make_unique<Object>();
    object->kind = kind;
    object->type = type;
    const std::lock_guard lock(state().mutex);
    state().objects.push_back(std::move(object));
    return state().objects.back().get();
}

Object* newString(std::u16string text) {
    Object* string = newObject(ObjectKind::String, findClass("java/lang/String"));
    string->text = std::move(text);
    return string;
}

Object* newThrowable(std::string_view className, std::u16string_view message) {
    ClassInfo* type = nullptr;
    {
        const std::lock_guard lock(state().mutex);
        type = &defineThrowableClass(className);
    }
    Object* exception = newObject(ObjectKind::Throwable, type);
    exception->text = utf16FromUtf8(dotted(className) + ": ") + std::u16string(message) +
                      u"\r\n\tat fakejvm.Native(Native Method)\r\n";
    return exception;
}

void throwNew(Env& env, std::string_view className, std::u16string_view message) {
    env.pending = newThrowable(className, message);
}

void printTo(Object* printStream, std::u16string_view text, bool standardError) {
    if (printStream == nullptr) {
        const HANDLE handle = GetStdHandle(standardError ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
        if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return;
        const std::string bytes = utf8FromUtf16(text);
        DWORD written = 0;
        WriteFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        return;
    }
    Object* target = printStream->target;
    if (target == nullptr) return;
    if (target->kind == ObjectKind::ByteStream) {
        const std::lock_guard lock(state().mutex);
        target->text += text;
    } else if (target->kind == ObjectKind::FileStream) {
        // Written as UTF-8 so a test can compare any text exactly.
        const std::string bytes = utf8FromUtf16(text);
        DWORD written = 0;
        WriteFile(target->file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
}

Object* systemErr() {
    const std::lock_guard lock(state().mutex);
    return state().systemErr;
}

Env* currentEnv(bool attach) {
    const DWORD thread = GetCurrentThreadId();
    const std::lock_guard lock(state().mutex);
    auto it = state().envs.find(thread);
    if (it != state().envs.end()) return it->second.get();
    if (!attach) return nullptr;
    auto env = std::make_unique<Env>();
    env->jni.functions = nativeInterface();
    env->threadId = thread;
    Env* result = env.get();
    state().envs.emplace(thread, std::move(env));
    return result;
}

void detachCurrentThread() {
    const std::lock_guard lock(state().mutex);
    const auto it = state().envs.find(GetCurrentThreadId());
    if (it == state().envs.end()) return;
    it->second->attached = false;
    state().detachedEnvs.push_back(std::move(it->second));
    state().envs.erase(it);
}

void systemExit(Env* env, jint status) {
    record("exit " + std::to_string(status));
    if (scenario().exitThrows && env != nullptr) {
        throwNew(*env, "java/lang/SecurityException", u"exit refused");
        return;
    }
    ExitHook hook = nullptr;
    {
        const std::lock_guard lock(state().mutex);
        hook = state().exitHook;
    }
    if (hook != nullptr) hook(status);
    ExitProcess(static_cast<UINT>(status));
}

void setHooks(void* exitHook, void* abortHook) {
    const std::lock_guard lock(state().mutex);
    state().exitHook = reinterpret_cast<ExitHook>(exitHook);
    state().abortHook = reinterpret_cast<AbortHook>(abortHook);
}

void abortVm() {
    record("abort");
    AbortHook hook = nullptr;
    {
        const std::lock_guard lock(state().mutex);
        hook = state().abortHook;
    }
    if (hook != nullptr) hook();
    ExitProcess(3);
}

void closeFiles() noexcept {
    const std::lock_guard lock(state().mutex);
    for (const auto& object : state().objects) {
        if (object->kind == ObjectKind::FileStream && object->file != INVALID_HANDLE_VALUE) {
            CloseHandle(std::exchange(object->file, INVALID_HANDLE_VALUE));
        }
    }
}

void waitForJavaThreads() {
    for (;;) {
        HANDLE thread = nullptr;
        {
            const std::lock_guard lock(state().mutex);
            if (state().javaThreads.empty()) return;
            thread = state().javaThreads.back();
            state().javaThreads.pop_back();
        }
        WaitForSingleObject(thread, INFINITE);
        CloseHandle(thread);
    }
}

void waitForAttachedThreads() {
    const DWORD self = GetCurrentThreadId();
    const auto othersAttached = [self] {
        const std::lock_guard lock(state().mutex);
        return std::any_of(state().envs.begin(), state().envs.end(), [self](const auto& entry) {
            return entry.first != self && !entry.second->daemon;
        });
    };
    while (othersAttached()) Sleep(20);
}

}  // namespace fakejvm
