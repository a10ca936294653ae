// The class path the launcher composes, handed to a real HotSpot: nothing planted in the working
// folder may be loaded unless the settings name "." themselves. Each case runs in a process of
// its own (one JVM per process).
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "jni_test_jvm.h"
#include "jvm/class_path.h"
#include "jvm/java_bridge.h"

namespace jvm {
namespace {

namespace fs = std::filesystem;

std::string toHost(const std::wstring& windowsText) {
    std::string host;
    for (const wchar_t unit : windowsText) {
        host.push_back(unit == L'\\' ? '/' : unit == L';' ? ':' : static_cast<char>(unit));
    }
    return host;
}

std::wstring wide(const std::string& text) { return std::wstring(text.begin(), text.end()); }

// An application folder (app/app.exe with an empty lib/ folder standing for its jar) and a
// working folder holding a compiled class and a resource that nobody asked for.
class PlantedInWorkingFolder : public ::testing::Test {
  protected:
    void SetUp() override {
        const fs::path root = testing::scratchFolder();
        app = root / "app";
        work = root / "work";
        fs::create_directories(app / "lib" / "classes");
        fs::create_directories(work / "bridgetest");
        fs::copy_file(fs::path(TEST_JAVA_CLASSES) / "bridgetest" / "NoMain.class",
                      work / "bridgetest" / "NoMain.class");
        testing::writeFile((work / "planted.properties").string(), "planted=yes\n");
        ASSERT_EQ(chdir(work.c_str()), 0);
    }

    // Composes the class path from a setting as the launcher does (host paths written with
    // backslashes and ";" separators), then starts HotSpot with it.
    void startWith(const std::wstring& setting) {
        const ClassPathServices services{
            [](const std::wstring& text) { return text; },
            [](const std::wstring& pattern) {
                const fs::path path(toHost(pattern));
                return fs::exists(path) ? std::vector<std::wstring>{wide(path.filename())}
                                        : std::vector<std::wstring>{};
            }};
        const std::wstring executablePath = wide(app.string()) + L"\\app.exe";
        classPath = toHost(composeClassPath(setting, executablePath, false, services));
        ASSERT_FALSE(classPath.empty());
        ASSERT_EQ(createJavaVm(testing::jvmLibrary().createJavaVm,
                               {"-Djava.class.path=" + classPath, "-Xmx64m"}, nullptr, nullptr, &vm,
                               &env),
                  JNI_OK);
    }

    bool plantedClassLoads() {
        jclass found = env->FindClass("bridgetest/NoMain");
        env->ExceptionClear();
        return found != nullptr;
    }

    bool plantedResourceFound() {
        jobject url = testing::callStatic(env, "java/lang/ClassLoader", "getSystemResource",
                                          "(Ljava/lang/String;)Ljava/net/URL;",
                                          env->NewStringUTF("planted.properties"));
        env->ExceptionClear();
        return url != nullptr;
    }

    // On the thread that created the JVM: a creating thread that ended still attached would
    // keep DestroyJavaVM waiting.
    void stop() {
        if (vm != nullptr) vm->DestroyJavaVM();
        vm = nullptr;
    }

    fs::path app, work;
    std::string classPath;
    JavaVM* vm = nullptr;
    JNIEnv* env = nullptr;
};

TEST_F(PlantedInWorkingFolder, IsNotLoadedThroughSeparators) {
    testing::onJavaThread([this] {
        startWith(L";\\lib\\classes;;\\lib\\missing.jar;");
        if (vm == nullptr) return;
        EXPECT_EQ(classPath, app.string() + "/lib/classes");
        EXPECT_FALSE(plantedClassLoads());
        EXPECT_FALSE(plantedResourceFound());
        stop();
    });
}

TEST_F(PlantedInWorkingFolder, IsLoadedWhenTheSettingNamesTheCurrentFolder) {
    testing::onJavaThread([this] {
        startWith(L"\\lib\\classes;.");
        if (vm == nullptr) return;
        EXPECT_TRUE(plantedClassLoads());
        EXPECT_TRUE(plantedResourceFound());
        stop();
    });
}

}  // namespace
}  // namespace jvm
