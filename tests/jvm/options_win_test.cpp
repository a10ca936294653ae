#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "base/ansi_win.h"
#include "base/files_win.h"
#include "jvm/jvm_options_win.h"
#include "resources/resource_ids.h"
#include "settings/split.h"
#include "ui/error_box_win.h"

// Records error boxes instead of showing them.
namespace {
std::vector<UINT> shownErrorIds;
}

namespace ui {
int showErrorBox(HWND, MessageSource text) {
    if (const UINT* id = std::get_if<UINT>(&text)) shownErrorIds.push_back(*id);
    return IDOK;
}
int showErrorBox(HWND owner, MessageSource format, MessageArg) {
    return showErrorBox(owner, format);
}
}  // namespace ui

namespace {

class MapStore : public settings::SettingsStore {
  public:
    void set(std::wstring section, std::wstring key, std::wstring value) {
        values_[{std::move(section), std::move(key)}] = std::move(value);
    }
    uint32_t probe(std::array<uint8_t, 4>&) override { return ERROR_FILE_NOT_FOUND; }
    void getString(std::wstring_view section, std::wstring_view key,
                   std::wstring& out) const override {
        const auto found = values_.find({std::wstring(section), std::wstring(key)});
        out = found == values_.end() ? std::wstring() : found->second;
    }
    void getSectionNames(std::vector<std::wstring>&) const override {}
    bool setString(std::wstring_view, std::wstring_view, std::wstring_view) override {
        return false;
    }
    bool remove() override { return false; }

  private:
    std::map<std::pair<std::wstring, std::wstring>, std::wstring> values_;
};

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
    settings::splitText(base::fromThreadAnsi(option.substr(prefix.size())), L";", entries);
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
        context.modulePath = app + L"\\app.exe";
        shownErrorIds.clear();
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

    std::wstring root, app;
    MapStore store;
    jvm::JvmOptionsContext context;
};

TEST_F(OptionsOnDisk, ClassPathFromRealFiles) {
    SetEnvironmentVariableW(L"JVM_OPTIONS_TEST_APP", app.c_str());
    store.set(L"Class Path", L"Class Path",
              L"\\lib\\*.jar;\\a.jar;\\missing.jar;;C:\\absent\\b.jar;%JVM_OPTIONS_TEST_APP%"
              L"\\lib\\*.txt;" +
                  root + L"\\app\\lib\\y.*");
    ASSERT_TRUE(jvm::buildJvmOptions(store, context, nullptr));
    ASSERT_EQ(context.jvmOptions.size(), 1u);
    auto entries = classPathEntries(context.jvmOptions[0]);
    ASSERT_EQ(entries.size(), 6u);
    // The wildcard's matches come in the file system's order.
    std::sort(entries.begin(), entries.begin() + 2);
    EXPECT_EQ(entries[0], app + L"\\lib\\x.jar");
    EXPECT_EQ(entries[1], app + L"\\lib\\y.jar");
    EXPECT_EQ(entries[2], app + L"\\a.jar");
    EXPECT_EQ(entries[3], L"C:\\absent\\b.jar");
    EXPECT_EQ(entries[4], app + L"\\lib\\notes.txt");
    EXPECT_EQ(entries[5], app + L"\\lib\\y.jar");
    EXPECT_EQ(context.jvmOptions[0].back(), ';');
    EXPECT_TRUE(shownErrorIds.empty());
}

TEST_F(OptionsOnDisk, EmbeddedJarAloneIsAClassPath) {
    store.set(L"Application", L"Embedded Jar", L"yES");
    ASSERT_TRUE(jvm::buildJvmOptions(store, context, nullptr));
    ASSERT_EQ(context.jvmOptions.size(), 1u);
    EXPECT_EQ(context.jvmOptions[0], "-Djava.class.path=" + base::toThreadAnsi(app) + "\\app.exe;");
    EXPECT_TRUE(shownErrorIds.empty());
}

TEST_F(OptionsOnDisk, AnEmptyClassPathIsReported) {
    store.set(L"Class Path", L"Class Path", L"\\nothing\\*.jar;;");
    store.set(L"Java Runtime Environment", L"Virtual Machine Parameters", L"-Xss1m");
    context.jvmOptions = {"-Djava.library.path=x"};
    EXPECT_FALSE(jvm::buildJvmOptions(store, context, nullptr));
    EXPECT_EQ(shownErrorIds, std::vector<UINT>{IDS_NO_CLASS_PATH});
    EXPECT_EQ(context.jvmOptions, std::vector<std::string>{"-Djava.library.path=x"});
}

TEST_F(OptionsOnDisk, ParametersRedirectionAndCmd) {
    SetEnvironmentVariableW(L"JVM_OPTIONS_TEST_LOGS", L"D:\\logs");
    store.set(L"Class Path", L"Class Path", L"\\a.jar");
    store.set(L"Java Runtime Environment", L"Virtual Machine Parameters",
              L" -Xmx256m  \"-Dp=a b\" -Dlogs=%JVM_OPTIONS_TEST_LOGS% -Xss512k -ea");
    store.set(L"Application", L"Output File", L"%JVM_OPTIONS_TEST_LOGS%\\out.log");
    store.set(L"Application", L"Output Append", L"Yes");
    store.set(L"Application", L"Error File", L"err.log");
    store.set(L"Application", L"Error Append", L"yes");
    store.set(L"Application", L"Cmd", L"one \"two three\" \"\" %JVM_OPTIONS_TEST_LOGS%");
    context.jvmOptions = {"-Djava.library.path=x"};
    context.arguments = {L"-nosplash"};

    ASSERT_TRUE(jvm::buildJvmOptions(store, context, nullptr));
    const std::vector<std::string> expected = {
        "-Djava.library.path=x",
        "-Djava.class.path=" + base::toThreadAnsi(app) + "\\a.jar;",
        "-Xmx256m",
        "-Dp=a b",
        "-Dlogs=D:\\logs",
        "-Xss512k",
        "-ea"};
    EXPECT_EQ(context.jvmOptions, expected);
    EXPECT_EQ(context.javaThreadStackSize, 524288u);
    EXPECT_EQ(context.outputFile, L"D:\\logs\\out.log");
    EXPECT_FALSE(context.appendOutput);
    EXPECT_EQ(context.errorFile, L"err.log");
    EXPECT_TRUE(context.appendError);
    EXPECT_EQ(context.cmdSetting, L"one \"two three\" \"\" D:\\logs");
    EXPECT_EQ(context.arguments,
              (std::vector<std::wstring>{L"-nosplash", L"one", L"two three", L"D:\\logs"}));
}

TEST_F(OptionsOnDisk, PercentOptionsFollowTheReportedMemory) {
    store.set(L"Class Path", L"Class Path", L"\\a.jar");
    store.set(L"Java Runtime Environment", L"Virtual Machine Parameters",
              L"-Xmx50P -Xms10:0:64t -Xss1:1:0p");
    ASSERT_TRUE(jvm::buildJvmOptions(store, context, nullptr));

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

    ASSERT_EQ(context.jvmOptions.size(), 4u);
    EXPECT_EQ(context.jvmOptions[1], "-Xmx" + std::to_string(heapMaximum) + "K");
    const std::string minimumPrefix = "-Xms";
    const uint64_t minimum = std::stoull(context.jvmOptions[2].substr(minimumPrefix.size()));
    EXPECT_LE(heapMinimum, minimum);
    EXPECT_LE(minimum, std::min<uint64_t>(heapMinimum + heapMinimum / 100 + 1, 65536));
    EXPECT_EQ(context.jvmOptions[3], "-Xss" + std::to_string(stack) + "K");
    EXPECT_EQ(context.javaThreadStackSize, static_cast<uint32_t>(stack * 1024));
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
    std::wstring libraryPath;
    jvm::prepareNativePaths(L"C:\\jre\\bin\\server\\jvm.dll", libraryPath, L"C:\\a", L"C:\\App\\",
                            options);
    EXPECT_EQ(base::environmentVariable(L"VX_JVM_PATH"), L"C:\\jre\\bin\\server\\jvm.dll");
    EXPECT_EQ(base::environmentVariable(L"VX_JVM_HOME"), L"C:\\jre");
    EXPECT_EQ(base::environmentVariable(L"Path"),
              L"C:\\a;C:\\windows\\system32;C:\\windows;C:\\jre\\bin");
    // No "Library Path": no option of its own.
    EXPECT_TRUE(libraryPath.empty());
    EXPECT_EQ(options, std::vector<std::string>{"-Djava.class.path=x;"});
}

TEST_F(NativePaths, LibraryPathComesFirstAndSeesTheOldPath) {
    SetEnvironmentVariableW(L"Path", L"C:\\windows;");
    SetEnvironmentVariableW(L"JVM_OPTIONS_TEST_NATIVE", L"D:\\native");
    std::wstring libraryPath = L"%JVM_OPTIONS_TEST_NATIVE%";
    jvm::prepareNativePaths(L"C:\\jre\\bin\\client\\jvm.dll", libraryPath, L"C:\\a;", L"C:\\App\\",
                            options);
    const std::wstring expected = L"D:\\native;C:\\App\\;.;C:\\windows;C:\\jre\\lib";
    EXPECT_EQ(libraryPath, expected);
    EXPECT_EQ(options,
              (std::vector<std::string>{"-Djava.library.path=" + base::toThreadAnsi(expected),
                                        "-Djava.class.path=x;"}));
    EXPECT_EQ(base::environmentVariable(L"Path"), L"C:\\a;C:\\windows;;C:\\jre\\bin");
}

// Stands in for a JVM library's JNI_GetDefaultJavaVMInitArgs: checks the version and writes the
// Java stack size at its place in the JNI 1.1 record.
int32_t reportedStackSize = 0;
int32_t seenVersion = 0;
int32_t __stdcall fakeDefaultInitArgs(void* initArgs) {
    auto* bytes = static_cast<unsigned char*>(initArgs);
    std::memcpy(&seenVersion, bytes, sizeof(seenVersion));
    const size_t stackOffset = sizeof(void*) == 4 ? 16 : 24;
    std::memcpy(bytes + stackOffset, &reportedStackSize, sizeof(reportedStackSize));
    return 0;
}

TEST(DefaultJavaStackSize, TakesAPositiveSizeFromTheJvmLibrary) {
    auto* entry = reinterpret_cast<void*>(&fakeDefaultInitArgs);
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
