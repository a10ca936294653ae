#include <windows.h>

#include <jni.h>

#include <cstring>

// The smallest possible JVM host, the baseline for start-up timing: load the given jvm.dll and
// create a JVM with one fixed option. Exit status: 0 created, 1 not loaded, 2 no
// JNI_CreateJavaVM, 3 creation failed, 4 usage.
int wmain(int argc, wchar_t** argv) {
    if (argc != 2) return 4;
    HMODULE library = LoadLibraryW(argv[1]);
    if (library == nullptr) return 1;
    const FARPROC entry = GetProcAddress(library, "JNI_CreateJavaVM");
    if (entry == nullptr) return 2;
    using CreateJavaVm = jint(JNICALL*)(JavaVM**, void**, void*);
    CreateJavaVm create = nullptr;
    std::memcpy(&create, &entry, sizeof create);

    char classPath[] = "-Djava.class.path=x";
    JavaVMOption option{};
    option.optionString = classPath;
    JavaVMInitArgs args{};
    args.version = JNI_VERSION_1_2;
    args.nOptions = 1;
    args.options = &option;
    args.ignoreUnrecognized = JNI_FALSE;
    JavaVM* vm = nullptr;
    void* env = nullptr;
    return create(&vm, &env, &args) == JNI_OK ? 0 : 3;
}
