#include "jni_test_jvm.h"

#include <dlfcn.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

#include <gtest/gtest.h>

// The JVM handles SIGSEGV on purpose (implicit null checks) and never frees some memory.
extern "C" const char* __asan_default_options() {
    return "handle_segv=0:allow_user_segv_handler=1:detect_leaks=0";
}

namespace jvm::testing {

namespace {

template <typename Function>
Function symbol(void* library, const char* name) {
    void* address = dlsym(library, name);
    Function function = nullptr;
    static_assert(sizeof(function) == sizeof(address));
    std::memcpy(&function, &address, sizeof(address));
    return function;
}

}  // namespace

const JvmLibrary& jvmLibrary() {
    static const JvmLibrary library = [] {
        void* handle = dlopen(TEST_JVM_LIBRARY, RTLD_NOW | RTLD_GLOBAL);
        if (handle == nullptr) throw std::runtime_error(dlerror());
        JvmLibrary loaded;
        loaded.createJavaVm = symbol<CreateJavaVmFn>(handle, "JNI_CreateJavaVM");
        loaded.findClassFromBootLoader =
            symbol<FindClassFromBootLoaderFn>(handle, "JVM_FindClassFromBootLoader");
        return loaded;
    }();
    return library;
}

std::vector<std::string> standardOptions() {
    return {"-Djava.class.path=" TEST_JAVA_CLASSES, "-Dfile.encoding=UTF-8", "-Xmx64m"};
}

void onJavaThread(const std::function<void()>& body) {
    std::thread thread(body);
    thread.join();
}

TestJvm::TestJvm() {
    const jint result =
        createJavaVm(jvmLibrary().createJavaVm, standardOptions(), nullptr, nullptr, &vm_, &env_);
    if (result != JNI_OK) throw std::runtime_error("JNI_CreateJavaVM failed");
}

TestJvm::~TestJvm() { destroy(); }

void TestJvm::destroy() {
    if (vm_ != nullptr) vm_->DestroyJavaVM();
    vm_ = nullptr;
    env_ = nullptr;
}

Attached::Attached(JavaVM* vm) : vm_(vm) {
    void* env = nullptr;
    if (vm_->AttachCurrentThread(&env, nullptr) != JNI_OK) {
        throw std::runtime_error("AttachCurrentThread failed");
    }
    env_ = static_cast<JNIEnv*>(env);
}

Attached::~Attached() { vm_->DetachCurrentThread(); }

std::u16string unitsOf(JNIEnv* env, jstring text) {
    const jsize length = env->GetStringLength(text);
    const jchar* chars = env->GetStringChars(text, nullptr);
    std::u16string units(chars, chars + length);
    env->ReleaseStringChars(text, chars);
    return units;
}

std::u16string unitsOf(const std::wstring& text) {
    std::u16string units;
    for (const wchar_t unit : text) units.push_back(static_cast<char16_t>(unit));
    return units;
}

jobject callStatic(JNIEnv* env, const char* className, const char* name, const char* signature,
                   jobject argument) {
    jclass type = env->FindClass(className);
    if (type == nullptr) throw std::runtime_error(className);
    jmethodID method = env->GetStaticMethodID(type, name, signature);
    if (method == nullptr) throw std::runtime_error(name);
    jvalue value{};
    value.l = argument;
    jobject result = env->CallStaticObjectMethodA(type, method, &value);
    env->DeleteLocalRef(type);
    return result;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

std::string scratchFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = test->name();
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    const auto folder = std::filesystem::temp_directory_path() /
                        ("bridge-" + std::to_string(getpid()) + "-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder.string();
}

}  // namespace jvm::testing
