// Paths the ANSI code page cannot carry, and paths beyond MAX_PATH, from end to end: executable,
// settings file, runtime and class path all live in such folders.
#include <windows.h>

#include "tests/e2e/launcher_fixture_win.h"

namespace e2e {
namespace {

using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string utf8(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                           nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length,
                        nullptr, nullptr);
    return out;
}

std::wstring wide(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), length);
    return out;
}

std::wstring lowerCase(std::wstring text) {
    CharLowerBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

// The full long form of a path, to compare a short form with the path it stands for.
std::wstring longFormOf(const std::wstring& path) {
    std::wstring buffer(32768, L'\0');
    const DWORD length =
        GetLongPathNameW(path.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(length < buffer.size() ? length : 0);
    return buffer;
}

std::string recordValue(const std::vector<std::string>& record, std::string_view prefix) {
    const auto values = support::linesAfter(record, prefix);
    return values.empty() ? std::string("<missing>") : values.front();
}

// An application laid out entirely below `folder` (relative to the test's folder).
class PathsTest : public LauncherTest {
  protected:
    void layOutIn(const std::wstring& folder) {
        base = folder;
        exe = app.copyIn(launcherPath(), base + L"MyApp.exe");
        app.installJvm(support::FakeJvm::Full, jvmDll());
        app.writeScenario("main_class=com/example/Main\n", jvmDll());
        app.writeBytes(base + L"lib\\app.jar", "PK");
        app.writeBytes(base + L"jre\\lib\\modules", "");  // a runtime has its lib folder
    }
    void writeSettingsThere(std::wstring_view extra = L"") {
        app.writeText(base + L"MyApp.ini",
                      L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n" +
                          std::wstring(extra) + L"[Class Path]\r\nClass Path=\\lib\\app.jar\r\n");
    }
    [[nodiscard]] std::wstring jvmDll() const { return base + L"jre\\bin\\client\\jvm.dll"; }
    [[nodiscard]] std::vector<std::string> record() const { return app.readRecord(jvmDll()); }

    std::wstring base;
};

// Greek and Chinese: outside the Western code pages, and outside each other's.
const std::wstring kForeignFolder =
    L"\u0395\u03bb\u03bb\u03b7\u03bd\u03b9\u03ba\u03ac \u4e2d\u6587\\";

TEST_F(PathsTest, ForeignFolderNamesReachTheJvmInTheirShortForm) {
    layOutIn(kForeignFolder);
    writeSettingsThere(L"Library Path=C:\\native;\r\n");
    const auto result = launch();
    ASSERT_EQ(result.exitCode(), 0) << ::testing::PrintToString(result.errorTexts());
    const auto lines = record();
    const auto options = support::recordedOptions(lines);
    ASSERT_EQ(options.size(), 2u) << ::testing::PrintToString(lines);

    // Each option the JVM sees converts back to the same text: nothing was lost to the code page.
    for (const auto& option : options) EXPECT_EQ(option.find('?'), std::string::npos) << option;

    const std::string classPathPrefix = "-Djava.class.path=";
    ASSERT_THAT(options[1], StartsWith(classPathPrefix));
    std::wstring entry = wide(options[1].substr(classPathPrefix.size()));
    ASSERT_FALSE(entry.empty());
    EXPECT_EQ(lowerCase(longFormOf(entry)), lowerCase(app.file(base + L"lib\\app.jar")))
        << utf8(entry);

    // The executable's folder in the native library path stands for the same folder.
    const std::wstring libraryPath = wide(options[0]);
    const size_t folderStart = libraryPath.find(L";") + 1;
    const std::wstring exeFolder =
        libraryPath.substr(folderStart, libraryPath.find(L";", folderStart) - folderStart);
    EXPECT_EQ(lowerCase(longFormOf(exeFolder)), lowerCase(app.file(base))) << utf8(exeFolder);

    // Environment variables are UTF-16 and keep the real name.
    EXPECT_EQ(recordValue(lines, "env VX_JVM_PATH="), utf8(app.file(jvmDll())));
}

TEST_F(PathsTest, RuntimeClassPathAndOutputBeyondMaxPath) {
    // Wine's CreateProcess cannot start a program whose own path is that long (it copies it into
    // a MAX_PATH buffer), so here the executable stays near the root and everything else goes
    // deep; long_executable_path.sh starts a deep executable through Wine's loader instead.
    std::wstring deep;
    for (wchar_t part = L'a'; part < L'e'; ++part) deep += std::wstring(60, part) + L"\\";
    const std::wstring deepFolder = app.file(deep);
    ASSERT_GT(deepFolder.size(), static_cast<size_t>(MAX_PATH));
    const std::wstring runtimeDll = deep + L"jre\\bin\\server\\jvm.dll";
    app.installJvm(support::FakeJvm::Full, runtimeDll);
    app.writeScenario("main_class=com/example/Main\nprint_out=to standard output\n", runtimeDll);
    app.writeBytes(deep + L"jre\\lib\\modules", "");
    app.writeBytes(deep + L"lib\\one.jar", "PK");
    app.writeBytes(deep + L"lib\\two.jar", "PK");
    writeSettings(
        L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n"
        L"JRE Path=" +
        deepFolder +
        L"jre\r\n"
        L"Library Path=C:\\native;\r\n"
        L"[Class Path]\r\nClass Path=" +
        deepFolder +
        L"lib\\*.jar\r\n"
        L"[Application]\r\nOutput File=" +
        deepFolder + L"logs\\out.txt\r\n");
    const auto result = launch();
    ASSERT_EQ(result.exitCode(), 0) << ::testing::PrintToString(result.errorTexts());
    const auto lines = app.readRecord(runtimeDll);
    const auto options = support::recordedOptions(lines);
    ASSERT_EQ(options.size(), 2u) << ::testing::PrintToString(lines);
    EXPECT_THAT(options[0], HasSubstr(utf8(deepFolder) + "jre\\lib"));
    EXPECT_THAT(options[1], HasSubstr(utf8(deepFolder) + "lib\\one.jar"));
    EXPECT_THAT(options[1], HasSubstr(utf8(deepFolder) + "lib\\two.jar"));
    EXPECT_EQ(recordValue(lines, "env VX_JVM_PATH="), utf8(app.file(runtimeDll)));
    EXPECT_THAT(app.readBytes(deep + L"logs\\out.txt"), HasSubstr("to standard output"));
}

}  // namespace
}  // namespace e2e
