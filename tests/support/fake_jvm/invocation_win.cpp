// This file defines the invocation API that jni.h declares, so jni.h must declare it exported.
#define _JNI_IMPLEMENTATION_

#include <windows.h>

#include <psapi.h>  // after windows.h, which it needs

#include <cstdint>
#include <cstring>
#include <string>

#include "base/module_win.h"
#include "tests/support/fake_jvm/look_probe_win.h"
#include "tests/support/fake_jvm/record_win.h"
#include "tests/support/fake_jvm/text_codec.h"
#include "tests/support/fake_jvm/vm_win.h"

// The invocation API of the fake JVM. The variants of the DLL are this file compiled with or
// without FAKEJVM_EXPORT_CREATE and FAKEJVM_EXPORT_BOOT_LOADER.
namespace fakejvm {

// The record layout of the JNI 1.1 invocation API, still answered by JNI_GetDefaultJavaVMInitArgs.
struct Jdk11InitArgs {
    jint version;
    char** properties;
    jint checkSource;
    jint nativeStackSize;
    jint javaStackSize;
    jint minHeapSize;
    jint maxHeapSize;
    jint verifyMode;
    char* classpath;
    void* vfprintfHook;
    void* exitHook;
    void* abortHook;
    jint enableClassGC;
    jint enableVerboseGC;
    jint disableAsyncGC;
    jint verbose;
    jboolean debugging;
    jint debugPort;
};

namespace {

JavaVM_ vmObject{};
bool created = false;

std::string hex(std::uint32_t value) {
    char text[16];
    const char* digits = "0123456789abcdef";
    int length = 0;
    do {
        text[length++] = digits[value & 0xFU];
        value >>= 4;
    } while (value != 0);
    std::string out = "0x";
    while (length > 0) out += text[--length];
    return out;
}

std::string utf8FromWide(const std::wstring& text) {
    return utf8FromUtf16(std::u16string(text.begin(), text.end()));
}

void recordEnvironment(const wchar_t* name) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    std::wstring value;
    if (size > 0) {
        value.resize(size);
        const DWORD length = GetEnvironmentVariableW(name, value.data(), size);
        value.resize(length < size ? length : 0);
    }
    record("env " + utf8FromWide(name) + "=" + (size == 0 ? "<unset>" : utf8FromWide(value)));
}

// The full reservation of the calling thread's stack: every region that shares the stack's
// allocation base.
std::uint64_t stackReservation() {
    MEMORY_BASIC_INFORMATION info{};
    const int anchor = 0;
    if (VirtualQuery(&anchor, &info, sizeof info) == 0) return 0;
    auto* const base = static_cast<char*>(info.AllocationBase);
    char* cursor = base;
    std::uint64_t total = 0;
    while (VirtualQuery(cursor, &info, sizeof info) != 0 && info.AllocationBase == base) {
        total += info.RegionSize;
        cursor += info.RegionSize;
    }
    return total;
}

std::int64_t microsecondsSinceProcessStart() {
    FILETIME creation{}, exitTime{}, kernel{}, user{};
    if (!GetProcessTimes(GetCurrentProcess(), &creation, &exitTime, &kernel, &user)) return -1;
    using PreciseTime = void(WINAPI*)(LPFILETIME);
    FILETIME now{};
    const HMODULE kernel32 = GetModuleHandleW(L"kernel32.dll");
    const auto precise = kernel32 == nullptr ? nullptr
                                             : base::procAddress<PreciseTime>(
                                                   kernel32, "GetSystemTimePreciseAsFileTime");
    if (precise != nullptr) {
        precise(&now);
    } else {
        GetSystemTimeAsFileTime(&now);
    }
    auto ticks = [](const FILETIME& time) {
        return static_cast<std::int64_t>((static_cast<std::uint64_t>(time.dwHighDateTime) << 32) |
                                         time.dwLowDateTime);
    };
    return (ticks(now) - ticks(creation)) / 10;
}

// Committed private memory (heaps, stacks, the images' written pages), counted region by region:
// Wine leaves the counter that Windows keeps for it at zero.
std::uint64_t committedPrivateBytes() {
    std::uint64_t total = 0;
    MEMORY_BASIC_INFORMATION info{};
    const char* cursor = nullptr;
    while (VirtualQuery(cursor, &info, sizeof info) != 0) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
        const char* const next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
        if (next <= cursor) break;
        cursor = next;
    }
    return total;
}

// What the process holds when the JVM is asked for, in KiB.
std::string memoryInUse() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return "unknown";
    return "private_kib=" + std::to_string(committedPrivateBytes() / 1024) +
           " working_set_kib=" + std::to_string(counters.WorkingSetSize / 1024) +
           " peak_working_set_kib=" + std::to_string(counters.PeakWorkingSetSize / 1024);
}

std::string optionText(const char* text) {
    if (text == nullptr) return "<null>";
    // Options arrive in the thread's ANSI code page; the record is UTF-8.
    const int length = MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, nullptr, 0);
    if (length <= 0) return text;
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_THREAD_ACP, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<std::size_t>(length - 1));
    return utf8FromWide(wide);
}

jint JNICALL destroyJavaVm(JavaVM*) {
    record("destroy");
    waitForJavaThreads();
    waitForAttachedThreads();
    record("destroyed");
    return JNI_OK;
}

jint JNICALL attachCurrentThread(JavaVM*, void** penv, void*) {
    const bool already = currentEnv(false) != nullptr;
    record(already ? "attach again" : "attach");
    *penv = currentEnv(true);
    return JNI_OK;
}

jint JNICALL attachCurrentThreadAsDaemon(JavaVM* vm, void** penv, void* args) {
    const jint result = attachCurrentThread(vm, penv, args);
    static_cast<Env*>(*penv)->daemon = true;
    return result;
}

jint JNICALL detachCurrentThreadImpl(JavaVM*) {
    record("detach");
    const jint result = scenario().detachResult;
    if (result == JNI_OK) detachCurrentThread();
    return result;
}

jint JNICALL getEnv(JavaVM*, void** penv, jint version) {
    Env* env = currentEnv(false);
    *penv = env;
    if (env == nullptr) return JNI_EDETACHED;
    return version >= JNI_VERSION_1_1 && version <= 0x00150000 ? JNI_OK : JNI_EVERSION;
}

const JNIInvokeInterface_ invokeTable = [] {
    JNIInvokeInterface_ table{};
    table.DestroyJavaVM = destroyJavaVm;
    table.AttachCurrentThread = attachCurrentThread;
    table.DetachCurrentThread = detachCurrentThreadImpl;
    table.GetEnv = getEnv;
    table.AttachCurrentThreadAsDaemon = attachCurrentThreadAsDaemon;
    return table;
}();

BOOL WINAPI consoleEvent(DWORD event) noexcept {
    record("shutdown hooks " + std::to_string(event));
    systemExit(nullptr, 130);
    return TRUE;
}

[[maybe_unused]] jint createJavaVm(JavaVM** pvm, void** penv, void* args) {
    const std::int64_t sinceStart = microsecondsSinceProcessStart();
    const std::string memory = memoryInUse();
    const auto* initArgs = static_cast<const JavaVMInitArgs*>(args);
    if (initArgs == nullptr || pvm == nullptr || penv == nullptr) {
        record("create null-arguments");
        return JNI_EINVAL;
    }
    record("create version=" + hex(static_cast<std::uint32_t>(initArgs->version)) +
           " nOptions=" + std::to_string(initArgs->nOptions) +
           " ignoreUnrecognized=" + std::to_string(initArgs->ignoreUnrecognized));
    void* exitHook = nullptr;
    void* abortHook = nullptr;
    for (jint i = 0; i < initArgs->nOptions && initArgs->options != nullptr; ++i) {
        const JavaVMOption& option = initArgs->options[i];
        const std::string text = optionText(option.optionString);
        if (option.extraInfo != nullptr && (text == "exit" || text == "abort")) {
            record("hook " + text);
            (text == "exit" ? exitHook : abortHook) = option.extraInfo;
        } else {
            record("option " + text + (option.extraInfo != nullptr ? " extraInfo" : ""));
        }
    }
    recordEnvironment(L"VX_JVM_PATH");
    recordEnvironment(L"VX_JVM_HOME");
    recordEnvironment(L"Path");
    record("stack reserve=" + std::to_string(stackReservation()));
    recordLookIfAsked();
    record("create_us " + std::to_string(sinceStart));
    record("create_memory " + memory);
    *pvm = nullptr;
    *penv = nullptr;
    if (created) return JNI_EEXIST;
    if (initArgs->version != JNI_VERSION_1_2 && initArgs->version != JNI_VERSION_1_4 &&
        initArgs->version != JNI_VERSION_1_6 && initArgs->version != JNI_VERSION_1_8) {
        return JNI_EVERSION;
    }
    if (initArgs->nOptions < 0 || (initArgs->nOptions > 0 && initArgs->options == nullptr)) {
        return JNI_EINVAL;
    }
    Sleep(static_cast<DWORD>(scenario().createDelayMs));
    const jint result = scenario().createResult;
    if (result != JNI_OK) {
        record("create failed " + std::to_string(result));
        return result;
    }
    created = true;
    setHooks(exitHook, abortHook);
    if (scenario().consoleHandler) SetConsoleCtrlHandler(&consoleEvent, TRUE);
    createClasses();
    vmObject.functions = &invokeTable;
    *pvm = &vmObject;
    *penv = currentEnv(true);
    record("created");
    return JNI_OK;
}

}  // namespace

JavaVM* theJavaVm() { return created ? &vmObject : nullptr; }

}  // namespace fakejvm

// A test that loads the DLL into its own process and frees it again gets its files back.
BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void* reserved) noexcept {
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) fakejvm::closeFiles();
    return TRUE;
}

extern "C" {

#ifdef FAKEJVM_EXPORT_CREATE
JNIEXPORT jint JNICALL JNI_CreateJavaVM(JavaVM** pvm, void** penv, void* args) {
    return fakejvm::createJavaVm(pvm, penv, args);
}
#endif

JNIEXPORT jint JNICALL JNI_GetDefaultJavaVMInitArgs(void* args) {
    if (args == nullptr) return JNI_ERR;
    auto* initArgs = static_cast<fakejvm::Jdk11InitArgs*>(args);
    fakejvm::record("defaultArgs version=" +
                    fakejvm::hex(static_cast<std::uint32_t>(initArgs->version)));
    if (initArgs->version != JNI_VERSION_1_1) return JNI_EVERSION;
    initArgs->javaStackSize = fakejvm::scenario().defaultStackSize;
    return JNI_OK;
}

#ifdef FAKEJVM_EXPORT_BOOT_LOADER
JNIEXPORT jclass JNICALL JVM_FindClassFromBootLoader(JNIEnv* env, const char* name) {
    fakejvm::record(std::string("findBootClass ") + (name == nullptr ? "null" : name));
    if (env == nullptr || name == nullptr) return nullptr;
    // The boot loader answers null for a missing class and leaves no exception.
    return fakejvm::classHandle(fakejvm::findClass(name));
}
#endif

}  // extern "C"
