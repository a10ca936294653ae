#include <windows.h>

#include <gtest/gtest.h>
#include <jni.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "base/module_win.h"
#include "tests/support/app_folder_win.h"
#include "tests/support/record_lines.h"

// Drives the fake JVM DLL in-process with raw JNI calls, the way a launcher does. Each test
// loads its own copy of the DLL (a separate module, so a separate JVM and scenario).
namespace {

using support::AppFolder;
using support::FakeJvm;
using namespace std::string_literals;

constexpr wchar_t kDll[] = L"jre\\bin\\client\\jvm.dll";

template <typename Function>
Function entry(HMODULE module, const char* name) {
    return base::procAddress<Function>(module, name);
}

struct LoadedJvm {
    using Create = jint(JNICALL*)(JavaVM**, void**, void*);
    using Defaults = jint(JNICALL*)(void*);
    using BootFind = jclass(JNICALL*)(JNIEnv*, const char*);

    AppFolder folder{L"fakejvm"};
    HMODULE module = nullptr;
    Create create = nullptr;
    Defaults defaults = nullptr;
    BootFind bootFind = nullptr;
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;

    explicit LoadedJvm(std::string_view scenario, FakeJvm variant = FakeJvm::Full) {
        folder.installJvm(variant, kDll);
        if (!scenario.empty()) folder.writeScenario(scenario, kDll);
        module = LoadLibraryW(folder.file(kDll).c_str());
        if (module == nullptr) return;
        create = entry<Create>(module, "JNI_CreateJavaVM");
        defaults = entry<Defaults>(module, "JNI_GetDefaultJavaVMInitArgs");
        bootFind = entry<BootFind>(module, "JVM_FindClassFromBootLoader");
    }
    ~LoadedJvm() {
        if (module != nullptr) FreeLibrary(module);
    }

    jint start(std::vector<std::string> options = {"-Djava.class.path=x"}) {
        std::vector<JavaVMOption> list;
        for (auto& option : options) list.push_back({option.data(), nullptr});
        JavaVMInitArgs args{JNI_VERSION_1_2, static_cast<jint>(list.size()), list.data(),
                            JNI_FALSE};
        return create(&vm, reinterpret_cast<void**>(&env), &args);
    }
    [[nodiscard]] std::vector<std::string> record() const { return folder.readRecord(kDll); }
};

jstring javaString(JNIEnv* env, const std::u16string& text) {
    jclass type = env->FindClass("java/lang/String");
    jmethodID init = env->GetMethodID(type, "<init>", "([C)V");
    const auto length = static_cast<jsize>(text.size());
    jcharArray chars = env->NewCharArray(length);
    env->SetCharArrayRegion(chars, 0, length, reinterpret_cast<const jchar*>(text.data()));
    auto string = static_cast<jstring>(env->NewObject(type, init, chars));
    env->DeleteLocalRef(chars);
    return string;
}

jobjectArray javaStrings(JNIEnv* env, const std::vector<std::u16string>& list) {
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(list.size()),
                                             env->FindClass("java/lang/String"), nullptr);
    for (std::size_t i = 0; i < list.size(); ++i) {
        env->SetObjectArrayElement(array, static_cast<jsize>(i), javaString(env, list[i]));
    }
    return array;
}

jobject printStreamOver(JNIEnv* env, jobject stream) {
    jclass type = env->FindClass("java/io/PrintStream");
    return env->NewObject(type, env->GetMethodID(type, "<init>", "(Ljava/io/OutputStream;)V"),
                          stream);
}

jobject fileStream(JNIEnv* env, const std::wstring& path, bool append) {
    jclass type = env->FindClass("java/io/FileOutputStream");
    jmethodID init = env->GetMethodID(type, "<init>", "(Ljava/lang/String;Z)V");
    const std::u16string units(path.begin(), path.end());
    return env->NewObject(type, init, javaString(env, units), append ? JNI_TRUE : JNI_FALSE);
}

void callMain(JNIEnv* env, const char* className, const std::vector<std::u16string>& args) {
    jclass type = env->FindClass(className);
    ASSERT_NE(type, nullptr);
    jmethodID main = env->GetStaticMethodID(type, "main", "([Ljava/lang/String;)V");
    ASSERT_NE(main, nullptr);
    env->CallStaticVoidMethod(type, main, javaStrings(env, args));
}

TEST(FakeJvm, VariantsExportWhatTheirNamesSay) {
    struct Case {
        FakeJvm variant;
        bool create, defaults, bootLoader;
    };
    for (const Case c :
         {Case{FakeJvm::Full, true, true, true}, Case{FakeJvm::NoLauncher, true, true, false},
          Case{FakeJvm::NoCreate, false, true, true}}) {
        LoadedJvm jvm("", c.variant);
        ASSERT_NE(jvm.module, nullptr);
        EXPECT_EQ(jvm.create != nullptr, c.create);
        EXPECT_EQ(jvm.defaults != nullptr, c.defaults);
        EXPECT_EQ(jvm.bootFind != nullptr, c.bootLoader);
    }
}

TEST(FakeJvm, DefaultInitArgsAnswerOnlyJni11) {
    LoadedJvm jvm("default_stack_size=262144\n");
    // The JNI 1.1 record: javaStackSize follows version, a pointer and three ints.
    struct {
        jint version;
        char** properties;
        jint checkSource, nativeStackSize, javaStackSize;
        char rest[64];
    } args{};
    args.version = JNI_VERSION_1_1;
    EXPECT_EQ(jvm.defaults(&args), JNI_OK);
    EXPECT_EQ(args.javaStackSize, 262144);
    args = {};
    args.version = JNI_VERSION_1_2;
    EXPECT_EQ(jvm.defaults(&args), JNI_EVERSION);
    EXPECT_EQ(args.javaStackSize, 0);
}

struct CreateRequest {
    LoadedJvm* jvm;
    JavaVMInitArgs* args;
};

DWORD WINAPI createOnThread(void* context) noexcept {
    auto* request = static_cast<CreateRequest*>(context);
    void* env = nullptr;
    JavaVM* vm = nullptr;
    return static_cast<DWORD>(request->jvm->create(&vm, &env, request->args));
}

TEST(FakeJvm, CreationRecordsOptionsHooksEnvironmentAndStack) {
    LoadedJvm jvm("");
    SetEnvironmentVariableW(L"VX_JVM_HOME", L"C:\\jre");
    SetEnvironmentVariableW(L"VX_JVM_PATH", nullptr);
    static int hookTarget = 0;
    std::string first = "-Xmx64m", second = "-Dname=a b", abort = "abort", exit = "exit";
    JavaVMOption options[] = {{first.data(), nullptr},
                              {second.data(), nullptr},
                              {abort.data(), &hookTarget},
                              {exit.data(), &hookTarget}};
    JavaVMInitArgs args{JNI_VERSION_1_2, 4, options, JNI_FALSE};
    // On a thread of a chosen stack size, as the launcher creates its Java main thread.
    CreateRequest request{&jvm, &args};
    HANDLE thread = CreateThread(nullptr, 4 * 1024 * 1024, createOnThread, &request, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    CloseHandle(thread);
    const auto result = static_cast<jint>(code);
    EXPECT_EQ(result, JNI_OK);
    const auto lines = jvm.record();
    EXPECT_TRUE(support::hasLine(lines, "create version=0x10002 nOptions=4 ignoreUnrecognized=0"));
    EXPECT_EQ(support::recordedOptions(lines), (std::vector<std::string>{"-Xmx64m", "-Dname=a b"}));
    const auto hookAbort = support::indexOf(lines, "hook abort");
    const auto hookExit = support::indexOf(lines, "hook exit");
    ASSERT_TRUE(hookAbort && hookExit);
    EXPECT_LT(*hookAbort, *hookExit);
    EXPECT_TRUE(support::hasLine(lines, "env VX_JVM_HOME=C:\\jre"));
    EXPECT_TRUE(support::hasLine(lines, "env VX_JVM_PATH=<unset>"));
    EXPECT_TRUE(support::indexOf(lines, "env Path=", true).has_value());
    const auto stack = support::linesAfter(lines, "stack reserve=");
    ASSERT_EQ(stack.size(), 1U);
    EXPECT_GE(std::stoull(stack[0]), 4ULL * 1024 * 1024);
    const auto since = support::linesAfter(lines, "create_us ");
    ASSERT_EQ(since.size(), 1U);
    EXPECT_GT(std::stoll(since[0]), 0);
    // The start-up benchmark reads the memory figures from this line.
    const auto memory = support::linesAfter(lines, "create_memory ");
    ASSERT_EQ(memory.size(), 1U);
    unsigned long long privateKib = 0, workingSetKib = 0, peakKib = 0;
    ASSERT_EQ(std::sscanf(memory[0].c_str(),
                          "private_kib=%llu working_set_kib=%llu peak_working_set_kib=%llu",
                          &privateKib, &workingSetKib, &peakKib),
              3)
        << memory[0];
    EXPECT_GT(privateKib, 0U);
    EXPECT_GT(workingSetKib, 0U);
    EXPECT_GE(peakKib, workingSetKib);
    SetEnvironmentVariableW(L"VX_JVM_HOME", nullptr);
}

TEST(FakeJvm, CreationFailsAsTheScenarioSays) {
    LoadedJvm jvm("create_result=-6\n");
    EXPECT_EQ(jvm.start(), JNI_EINVAL);
    EXPECT_EQ(jvm.vm, nullptr);
    EXPECT_TRUE(support::hasLine(jvm.record(), "create failed -6"));
}

TEST(FakeJvm, MainReceivesEveryUnitOfItsArguments) {
    LoadedJvm jvm("main_class=com/example/Main\n");
    ASSERT_EQ(jvm.start(), JNI_OK);
    const std::vector<std::u16string> args = {
        u"plain",        u"with space", u"", u"\"quoted\"", u"gr\u00fc\u00dfe \U0001F600",
        u"nul\0inside"s, u"lone\xD800"};
    callMain(jvm.env, "com/example/Main", args);
    EXPECT_FALSE(jvm.env->ExceptionCheck());
    const auto lines = jvm.record();
    EXPECT_EQ(support::recordedArguments(lines), args);
    EXPECT_FALSE(support::indexOf(lines, "warning", true).has_value());
}

TEST(FakeJvm, StreamsGoToTheFilesTheLauncherOpens) {
    LoadedJvm jvm("print_out=out \xC3\xA9\\n\nprint_err=err line\\n\n");
    ASSERT_EQ(jvm.start(), JNI_OK);
    JNIEnv* env = jvm.env;
    jvm.folder.writeBytes(L"logs\\err.log", "old;");
    jclass system = env->FindClass("java/lang/System");
    jmethodID setOut = env->GetStaticMethodID(system, "setOut", "(Ljava/io/PrintStream;)V");
    jmethodID setErr = env->GetStaticMethodID(system, "setErr", "(Ljava/io/PrintStream;)V");
    env->CallStaticVoidMethod(
        system, setOut, printStreamOver(env, fileStream(env, jvm.folder.file(L"out.log"), false)));
    env->CallStaticVoidMethod(
        system, setErr,
        printStreamOver(env, fileStream(env, jvm.folder.file(L"logs\\err.log"), true)));
    ASSERT_FALSE(env->ExceptionCheck());
    // A file that cannot be created leaves FileNotFoundException pending and no object.
    EXPECT_EQ(fileStream(env, jvm.folder.file(L"missing\\x.log"), false), nullptr);
    jthrowable failure = env->ExceptionOccurred();
    ASSERT_NE(failure, nullptr);
    env->ExceptionDescribe();  // goes to the redirected System.err
    EXPECT_FALSE(env->ExceptionCheck());
    callMain(env, "Main", {});
    EXPECT_EQ(jvm.folder.readBytes(L"out.log"), "out \xC3\xA9\n");
    const std::string errors = jvm.folder.readBytes(L"logs\\err.log");
    EXPECT_TRUE(errors.starts_with("old;java.io.FileNotFoundException: ")) << errors;
    EXPECT_TRUE(errors.ends_with("err line\n")) << errors;
    const auto lines = jvm.record();
    const std::wstring outPath = jvm.folder.file(L"out.log");
    EXPECT_EQ(support::linesAfter(lines, "setOut ").at(0),
              std::string(outPath.begin(), outPath.end()));
    EXPECT_TRUE(support::hasLine(lines, "describe java/io/FileNotFoundException"));
}

std::u16string describeWithPrintStackTrace(JNIEnv* env, jthrowable exception) {
    jclass bufferType = env->FindClass("java/io/ByteArrayOutputStream");
    jobject buffer = env->NewObject(bufferType, env->GetMethodID(bufferType, "<init>", "()V"));
    jobject printer = printStreamOver(env, buffer);
    jmethodID print = env->GetMethodID(env->GetObjectClass(exception), "printStackTrace",
                                       "(Ljava/io/PrintStream;)V");
    env->CallVoidMethod(exception, print, printer);
    if (env->ExceptionCheck()) env->ExceptionDescribe();
    jmethodID toString =
        env->GetMethodID(env->GetObjectClass(buffer), "toString", "()Ljava/lang/String;");
    auto text = static_cast<jstring>(env->CallObjectMethod(buffer, toString));
    const char* bytes = env->GetStringUTFChars(text, nullptr);
    const std::string modified = bytes;
    env->ReleaseStringUTFChars(text, bytes);
    // Decoding modified UTF-8 the simple way: surrogates arrive as separate three-byte units.
    std::u16string decoded;
    for (std::size_t i = 0; i < modified.size();) {
        const auto c = static_cast<unsigned char>(modified[i]);
        if (c < 0x80) {
            decoded += static_cast<char16_t>(c), i += 1;
        } else if ((c & 0xE0) == 0xC0) {
            decoded += static_cast<char16_t>(((c & 0x1F) << 6) | (modified[i + 1] & 0x3F)), i += 2;
        } else {
            decoded += static_cast<char16_t>(((c & 0x0F) << 12) | ((modified[i + 1] & 0x3F) << 6) |
                                             (modified[i + 2] & 0x3F));
            i += 3;
        }
    }
    return decoded;
}

TEST(FakeJvm, UncaughtExceptionTextRoundTripsThroughPrintStackTrace) {
    LoadedJvm jvm(
        "main=throw\nexception_class=java/lang/IllegalStateException\n"
        "trace=java.lang.IllegalStateException: gr\xC3\xBC\xC3\x9F"
        "e \xF0\x9F\x98\x80\\r\\n"
        "\\tat Main.main(Main.java:3)\\r\\n\n");
    ASSERT_EQ(jvm.start(), JNI_OK);
    callMain(jvm.env, "Main", {});
    jthrowable exception = jvm.env->ExceptionOccurred();
    ASSERT_NE(exception, nullptr);
    jvm.env->ExceptionClear();
    EXPECT_EQ(describeWithPrintStackTrace(jvm.env, exception),
              u"java.lang.IllegalStateException: gr\u00fc\u00dfe \U0001F600\r\n"
              u"\tat Main.main(Main.java:3)\r\n");
    const auto lines = jvm.record();
    EXPECT_TRUE(support::hasLine(lines, "throw java/lang/IllegalStateException"));
    EXPECT_TRUE(support::hasLine(lines, "printStackTrace"));
    EXPECT_FALSE(support::indexOf(lines, "warning", true).has_value());
}

TEST(FakeJvm, PrintStackTraceCanFailAsTheScenarioSays) {
    for (const auto& [mode, expected] :
         {std::pair{"yes", u""s}, std::pair{"partial", u"first\n"s}}) {
        LoadedJvm jvm("main=throw\ntrace=first\\nsecond\\n\ndescribe_throws="s + mode + "\n");
        ASSERT_EQ(jvm.start(), JNI_OK);
        callMain(jvm.env, "Main", {});
        jthrowable exception = jvm.env->ExceptionOccurred();
        jvm.env->ExceptionClear();
        EXPECT_EQ(describeWithPrintStackTrace(jvm.env, exception), expected) << mode;
        EXPECT_TRUE(support::hasLine(jvm.record(), "describe java/lang/IllegalStateException"));
    }
}

TEST(FakeJvm, LauncherHelperLoadsTheMainClassByItsDottedName) {
    LoadedJvm jvm("main_class=com/example/Main\n");
    ASSERT_EQ(jvm.start(), JNI_OK);
    JNIEnv* env = jvm.env;
    jclass helper = jvm.bootFind(env, "sun/launcher/LauncherHelper");
    ASSERT_NE(helper, nullptr);
    jmethodID check = env->GetStaticMethodID(helper, "checkAndLoadMain",
                                             "(ZILjava/lang/String;)Ljava/lang/Class;");
    ASSERT_NE(check, nullptr);
    jobject found = env->CallStaticObjectMethod(helper, check, JNI_TRUE, 1,
                                                javaString(env, u"com.example.Main"));
    EXPECT_TRUE(env->IsSameObject(found, env->FindClass("com/example/Main")));
    EXPECT_EQ(jvm.bootFind(env, "no/such/Class"), nullptr);
    EXPECT_FALSE(env->ExceptionCheck());
    EXPECT_TRUE(support::hasLine(jvm.record(), "checkAndLoadMain 1 1 com.example.Main"));
}

TEST(FakeJvm, MissingClassesAndMethodsLeaveExceptions) {
    LoadedJvm jvm("main_class=com/example/Main\nhas_main=no\nlauncher_helper=no\n");
    ASSERT_EQ(jvm.start(), JNI_OK);
    JNIEnv* env = jvm.env;
    EXPECT_EQ(jvm.bootFind(env, "sun/launcher/LauncherHelper"), nullptr);
    EXPECT_EQ(env->FindClass("com.example.Main"), nullptr);  // FindClass wants slashes
    EXPECT_TRUE(env->ExceptionCheck());
    env->ExceptionClear();
    jclass type = env->FindClass("com/example/Main");
    ASSERT_NE(type, nullptr);
    EXPECT_EQ(env->GetStaticMethodID(type, "main", "([Ljava/lang/String;)V"), nullptr);
    EXPECT_TRUE(env->ExceptionCheck());
    env->ExceptionClear();
    const auto lines = jvm.record();
    EXPECT_TRUE(support::hasLine(lines, "findclass com.example.Main"));
    EXPECT_TRUE(support::hasLine(lines, "nomethod com/example/Main.main([Ljava/lang/String;)V"));
}

TEST(FakeJvm, SecondaryMainRunsOnAnAttachedThread) {
    LoadedJvm jvm("secondary_main=int:7\n");
    ASSERT_EQ(jvm.start(), JNI_OK);
    jint answer = 0;
    std::thread([&] {
        JNIEnv* env = nullptr;
        ASSERT_EQ(jvm.vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr), JNI_OK);
        jclass type = env->FindClass("Main");
        EXPECT_EQ(env->GetStaticMethodID(type, "secondaryMain", "([Ljava/lang/String;)V"), nullptr);
        env->ExceptionClear();
        jmethodID method = env->GetStaticMethodID(type, "secondaryMain", "([Ljava/lang/String;)I");
        ASSERT_NE(method, nullptr);
        answer = env->CallStaticIntMethod(type, method, javaStrings(env, {u""}));
        EXPECT_EQ(jvm.vm->DetachCurrentThread(), JNI_OK);
        void* none = nullptr;
        EXPECT_EQ(jvm.vm->GetEnv(&none, JNI_VERSION_1_2), JNI_EDETACHED);
    }).join();
    EXPECT_EQ(answer, 7);
    const auto lines = jvm.record();
    EXPECT_EQ(support::recordedArguments(lines, "secondaryMain", "secondaryArg"),
              std::vector<std::u16string>{u""});
    EXPECT_TRUE(support::hasLine(lines, "attach"));
    EXPECT_TRUE(support::hasLine(lines, "detach"));
}

}  // namespace
