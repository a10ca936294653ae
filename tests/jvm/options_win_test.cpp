#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/ansi_win.h"
#include "base/files_win.h"
#include "base/split.h"
#include "jvm/jvm_options_win.h"

namespace {

std::wstring tempFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, buffer);
    return std::wstring(buffer, length);
}

void createFile(const std::wstring& path) {
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    CloseHandle(file);
}

std::vector<std::wstring> classPathEntries(const std::string& option) {
    const std::string prefix = "-Djava.class.path=";
    EXPECT_EQ(option.substr(0, prefix.size()), prefix);
    std::vector<std::wstring> entries;
    base::splitText(base::fromThreadAnsi(option.substr(prefix.size())), L";", entries);
    return entries;
}

// A folder beside a pretend executable: app\app.exe with lib\x.jar, lib\y.jar, lib\notes.txt
// and a.jar.
class OptionsOnDisk : public testing::Test {
  protected:
    void SetUp() override {
        root = tempFolder() + L"jvm-options-" + std::to_wstring(GetCurrentProcessId());
        app = root + L"\\app";
        ASSERT_TRUE(CreateDirectoryW(root.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(app.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW((app + L"\\lib").c_str(), nullptr));
        for (const auto* name :
             {L"\\lib\\x.jar", L"\\lib\\y.jar", L"\\lib\\notes.txt", L"\\a.jar"}) {
            createFile(app + name);
        }
        executablePath = app + L"\\app.exe";
    }

    void TearDown() override {
        for (const auto* name :
             {L"\\lib\\x.jar", L"\\lib\\y.jar", L"\\lib\\notes.txt", L"\\a.jar"}) {
            DeleteFileW((app + name).c_str());
        }
        RemoveDirectoryW((app + L"\\lib").c_str());
        RemoveDirectoryW(app.c_str());
        RemoveDirectoryW(root.c_str());
    }

    std::wstring root, app, executablePath;
};

TEST_F(OptionsOnDisk, ClassPathFromRealFiles) {
    SetEnvironmentVariableW(L"JVM_OPTIONS_TEST_APP", app.c_str());
    const std::wstring classPath =
        L"\\lib\\*.jar;\\a.jar;\\missing.jar;;C:\\absent\\b.jar;%JVM_OPTIONS_TEST_APP%"
        L"\\lib\\*.txt;" +
        root + L"\\app\\lib\\y.*";
    const auto list = jvm::buildJvmOptions({.classPath = classPath}, executablePath);
    ASSERT_TRUE(list.has_value());
    ASSERT_EQ(list->options.size(), 1u);
    auto entries = classPathEntries(list->options[0]);
    ASSERT_EQ(entries.size(), 6u);
    // The wildcard's matches come in the file system's order.
    std::sort(entries.begin(), entries.begin() + 2);
    EXPECT_EQ(entries[0], app + L"\\lib\\x.jar");
    EXPECT_EQ(entries[1], app + L"\\lib\\y.jar");
    EXPECT_EQ(entries[2], app + L"\\a.jar");
    EXPECT_EQ(entries[3], L"C:\\absent\\b.jar");
    EXPECT_EQ(entries[4], app + L"\\lib\\notes.txt");
    EXPECT_EQ(entries[5], app + L"\\lib\\y.jar");
    // No empty element: HotSpot would read it as the current folder.
    EXPECT_NE(list->options[0].back(), ';');
}

TEST_F(OptionsOnDisk, ExpansionsLeaveNoEmptyElement) {
    // A variable holding separators, and one whose value expands only in the second pass.
    SetEnvironmentVariableW(L"JVM_OPTIONS_TEST_LIST", L"C:\\one.jar;;C:\\two.jar;");
    SetEnvironmentVariableW(L"JVM_OPTIONS_TEST_LATER", L"%JVM_OPTIONS_TEST_NOTHING%");
    SetEnvironmentVariableW(L"JVM_OPTIONS_TEST_NOTHING", L";");
    const auto list = jvm::buildJvmOptions(
        {.classPath = L";%JVM_OPTIONS_TEST_LIST%;C:\\%JVM_OPTIONS_TEST_LATER%;.;\\\\srv\\s\\x.jar"},
        executablePath);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->options[0],
              "-Djava.class.path=C:\\one.jar;C:\\two.jar;C:\\;.;\\\\srv\\s\\x.jar");
}

TEST_F(OptionsOnDisk, EmbeddedJarAloneIsAClassPath) {
    const auto list = jvm::buildJvmOptions({.embeddedJar = true}, executablePath);
    ASSERT_TRUE(list.has_value());
    EXPECT_EQ(list->options, std::vector<std::string>{
                                 "-Djava.class.path=" + base::toThreadAnsi(app) + "\\app.exe"});
}

TEST_F(OptionsOnDisk, AnEmptyClassPathIsAnError) {
    EXPECT_FALSE(
        jvm::buildJvmOptions({.classPath = L"\\nothing\\*.jar;;", .vmParameters = L"-Xss1m"},
                             executablePath)
            .has_value());
}

TEST_F(OptionsOnDisk, ParametersAndCmd) {
    SetEnvironmentVariableW(L"JVM_OPTIONS_TEST_LOGS", L"D:\\logs");
    const auto list = jvm::buildJvmOptions(
        {.classPath = L"\\a.jar",
         .vmParameters = L" -Xmx256m  \"-Dp=a b\" -Dlogs=%JVM_OPTIONS_TEST_LOGS% -Xss512k -ea",
         .cmdSetting = L"one \"two three\" \"\" %JVM_OPTIONS_TEST_LOGS%"},
        executablePath);
    ASSERT_TRUE(list.has_value());
    const std::vector<std::string> expected = {
        "-Djava.class.path=" + base::toThreadAnsi(app) + "\\a.jar",
        "-Xmx256m",
        "-Dp=a b",
        "-Dlogs=D:\\logs",
        "-Xss512k",
        "-ea"};
    EXPECT_EQ(list->options, expected);
    EXPECT_EQ(list->javaThreadStackSize, 524288u);
    EXPECT_EQ(list->cmdArguments, (std::vector<std::wstring>{L"one", L"two three", L"D:\\logs"}));
}

TEST_F(OptionsOnDisk, PercentOptionsFollowTheReportedMemory) {
    const auto list = jvm::buildJvmOptions(
        {.classPath = L"\\a.jar", .vmParameters = L"-Xmx50P -Xms10:0:64t -Xss1:1:0p"},
        executablePath);
    ASSERT_TRUE(list.has_value());

    MEMORYSTATUS status{};
    status.dwLength = sizeof(status);
    GlobalMemoryStatus(&status);
    const uint64_t physicalKb = uint64_t{status.dwTotalPhys} >> 10;
    const uint64_t virtualKb = uint64_t{status.dwAvailVirtual} >> 10;
    ASSERT_GT(physicalKb, 0u);
    const uint64_t heapMaximum = physicalKb / 2;
    // 10 % of the free address space, at most 64 MB; it only shrinks between the two calls.
    const uint64_t heapMinimum = std::min<uint64_t>(virtualKb / 10, 65536);
    const uint64_t stack = std::max<uint64_t>(physicalKb / 100, 1024);

    const auto& options = list->options;
    ASSERT_EQ(options.size(), 4u);
    EXPECT_EQ(options[1], "-Xmx" + std::to_string(heapMaximum) + "K");
    const std::string minimumPrefix = "-Xms";
    const uint64_t minimum = std::stoull(options[2].substr(minimumPrefix.size()));
    EXPECT_LE(heapMinimum, minimum);
    EXPECT_LE(minimum, std::min<uint64_t>(heapMinimum + heapMinimum / 100 + 1, 65536));
    EXPECT_EQ(options[3], "-Xss" + std::to_string(stack) + "K");
    EXPECT_EQ(list->javaThreadStackSize, static_cast<uint32_t>(stack * 1024));
}

class NativePaths : public testing::Test {
  protected:
    void SetUp() override { savedPath = base::environmentVariable(L"Path"); }
    void TearDown() override { SetEnvironmentVariableW(L"Path", savedPath.c_str()); }
    std::wstring savedPath;
    std::vector<std::string> options{"-Djava.class.path=x;"};
};

TEST_F(NativePaths, PublishesTheJvmAndExtendsThePath) {
    SetEnvironmentVariableW(L"Path", L"C:\\windows\\system32;C:\\windows");
    jvm::prepareNativePaths(L"C:\\jre\\bin\\server\\jvm.dll", L"", L"C:\\a", L"C:\\App\\", options);
    EXPECT_EQ(base::environmentVariable(L"VX_JVM_PATH"), L"C:\\jre\\bin\\server\\jvm.dll");
    EXPECT_EQ(base::environmentVariable(L"VX_JVM_HOME"), L"C:\\jre");
    EXPECT_EQ(base::environmentVariable(L"Path"),
              L"C:\\a;C:\\windows\\system32;C:\\windows;C:\\jre\\bin");
    // No "Library Path": no option of its own.
    EXPECT_EQ(options, std::vector<std::string>{"-Djava.class.path=x;"});
}

TEST_F(NativePaths, LibraryPathComesFirstAndSeesTheOldPath) {
    SetEnvironmentVariableW(L"Path", L"C:\\windows;");
    SetEnvironmentVariableW(L"JVM_OPTIONS_TEST_NATIVE", L"D:\\native");
    jvm::prepareNativePaths(L"C:\\jre\\bin\\client\\jvm.dll", L"%JVM_OPTIONS_TEST_NATIVE%",
                            L"C:\\a;", L"C:\\App\\", options);
    const std::wstring expected = L"D:\\native;C:\\App\\;.;C:\\windows;C:\\jre\\lib";
    EXPECT_EQ(options,
              (std::vector<std::string>{"-Djava.library.path=" + base::toThreadAnsi(expected),
                                        "-Djava.class.path=x;"}));
    EXPECT_EQ(base::environmentVariable(L"Path"), L"C:\\a;C:\\windows;;C:\\jre\\bin");
}

// Stands in for a JVM library's JNI_GetDefaultJavaVMInitArgs: checks the version and writes the
// Java stack size at its place in the JNI 1.1 record.
int32_t reportedStackSize = 0;
int32_t seenVersion = 0;
jint JNICALL fakeDefaultInitArgs(void* initArgs) {
    auto* bytes = static_cast<unsigned char*>(initArgs);
    std::memcpy(&seenVersion, bytes, sizeof(seenVersion));
    const size_t stackOffset = sizeof(void*) == 4 ? 16 : 24;
    std::memcpy(bytes + stackOffset, &reportedStackSize, sizeof(reportedStackSize));
    return 0;
}

TEST(DefaultJavaStackSize, TakesAPositiveSizeFromTheJvmLibrary) {
    const jvm::GetDefaultInitArgsFn entry = &fakeDefaultInitArgs;
    const std::vector<std::pair<int32_t, uint32_t>> cases = {
        {262144, 262144u}, {0, 0u}, {-1, 0u}, {1, 1u}};
    for (const auto& [reported, expected] : cases) {
        reportedStackSize = reported;
        seenVersion = 0;
        EXPECT_EQ(jvm::defaultJavaStackSize(entry), expected);
        EXPECT_EQ(seenVersion, 0x00010001);
    }
    EXPECT_EQ(jvm::defaultJavaStackSize(nullptr), 0u);
}

}  // namespace
