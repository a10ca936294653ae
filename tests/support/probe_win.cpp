#include <windows.h>

#include <jni.h>

#include <cstring>
#include <cwchar>
#include <string>

#include "base/module_win.h"

// A program for the driver's own tests: shows a message box, writes output, exits with a chosen
// code, sleeps, starts a copy of itself, or hosts the fake JVM.
//   probe box TEXT                 MessageBox (Yes/No/Cancel); exits with the answer
//   probe print OUT ERR CODE       writes OUT to stdout and ERR to stderr, exits with CODE
//   probe sleep MS                 sleeps, exits 0
//   probe child TEXT               runs "probe box TEXT" and exits with its code
//   probe jvm DLL ARGS...          creates a JVM from DLL with the exit hook, calls Main.main
//                                  with ARGS, destroys the JVM; exits 0 (10+ on failures)
namespace {

void write(DWORD which, const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                        length, nullptr, nullptr);
    DWORD written = 0;
    WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
              nullptr);
}

void JNICALL exitHook(jint status) {
    write(STD_OUTPUT_HANDLE, L"hook exit " + std::to_wstring(status) + L"\n");
}

int hostJvm(int argc, wchar_t** argv) {
    HMODULE library = LoadLibraryW(argv[2]);
    if (library == nullptr) return 10;
    using CreateJavaVm = jint(JNICALL*)(JavaVM**, void**, void*);
    const auto create = base::procAddress<CreateJavaVm>(library, "JNI_CreateJavaVM");
    if (create == nullptr) return 11;
    char exitName[] = "exit";
    JavaVMOption option{};
    option.optionString = exitName;
    option.extraInfo = reinterpret_cast<void*>(&exitHook);
    JavaVMInitArgs args{JNI_VERSION_1_2, 1, &option, JNI_FALSE};
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
    if (create(&vm, reinterpret_cast<void**>(&env), &args) != JNI_OK) return 12;
    jclass mainClass = env->FindClass("Main");
    jmethodID main = mainClass == nullptr
                         ? nullptr
                         : env->GetStaticMethodID(mainClass, "main", "([Ljava/lang/String;)V");
    if (main == nullptr) return 13;
    jclass stringClass = env->FindClass("java/lang/String");
    jobjectArray array = env->NewObjectArray(argc - 3, stringClass, nullptr);
    for (int i = 3; i < argc; ++i) {
        const auto length = static_cast<jsize>(std::wcslen(argv[i]));
        std::u16string units(argv[i], argv[i] + length);
        jstring text = env->NewString(reinterpret_cast<const jchar*>(units.data()), length);
        env->SetObjectArrayElement(array, i - 3, text);
    }
    env->CallStaticVoidMethod(mainClass, main, array);
    if (env->ExceptionCheck()) env->ExceptionDescribe();
    vm->DetachCurrentThread();
    vm->DestroyJavaVM();
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"box" && argc == 3) {
        return MessageBoxW(nullptr, argv[2], L"probe", MB_YESNOCANCEL | MB_ICONINFORMATION);
    }
    if (command == L"print" && argc == 5) {
        write(STD_OUTPUT_HANDLE, argv[2]);
        write(STD_ERROR_HANDLE, argv[3]);
        ExitProcess(static_cast<UINT>(std::wcstoul(argv[4], nullptr, 0)));
    }
    if (command == L"sleep" && argc == 3) {
        Sleep(static_cast<DWORD>(std::wcstoul(argv[2], nullptr, 0)));
        return 0;
    }
    if (command == L"child" && argc == 3) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        std::wstring line = L"\"" + std::wstring(self) + L"\" box \"" + argv[2] + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &info)) {
            return 20;
        }
        WaitForSingleObject(info.hProcess, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(info.hProcess, &code);
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
        return static_cast<int>(code);
    }
    if (command == L"jvm" && argc >= 3) return hostJvm(argc, argv);
    return 100;
}
