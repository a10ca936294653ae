// The launch log's record text.
#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "launcher/launch_log.h"

namespace launcher {
namespace {

TEST(LaunchLog, Utf8OfUtf16) {
    EXPECT_EQ(utf8Of(L"a\u00FC\u20AC"), "a\xC3\xBC\xE2\x82\xAC");
    // A surrogate pair as Windows strings hold it, and a lone one.
    const std::wstring pair{wchar_t(0xD83D), wchar_t(0xDE00)};
    const std::wstring lone{wchar_t(0xD83D), L'x'};
    if (sizeof(wchar_t) == 2) EXPECT_EQ(utf8Of(pair), "\xF0\x9F\x98\x80");
    EXPECT_EQ(utf8Of(lone), "\xEF\xBF\xBDx");
}

TEST(LaunchLog, RecordLines) {
    LaunchRecord record;
    record.time = L"2026-12-09 15:20:01.042";
    record.processId = 42;
    record.executable = L"C:\\App\\MyApp.exe";
    record.executableVersion = L"1.2.3.4";
    record.settingsFiles = {{L"C:\\App\\MyApp.ini", true}, {L"C:\\u\\MyApp.ini", false}};
    record.candidates = {{L"Path", L"C:\\jdk\\", L"17.0.9.0", L"taken"},
                         {L"Registry", L"Software\\JavaSoft\\JRE\\1.8", L"", L"no folder value"}};
    record.runtime = L"C:\\jdk\\bin\\server\\jvm.dll";
    record.runtimeVersion = L"17.0.9.0";
    record.pairProduct = L"MyApp64.exe";
    record.jvmOptions = {L"-Xmx1g"};
    record.mainClass = L"com/example/Main";
    // A message's own lines cannot start a record or look like a key.
    record.messages = {L"first\r\n=== launch\nthird"};
    EXPECT_EQ(launchRecordText(record),
              "=== launch 2026-12-09 15:20:01.042 process 42\n"
              "executable: C:\\App\\MyApp.exe\n"
              "version: 1.2.3.4\n"
              "settings read: C:\\App\\MyApp.ini\n"
              "settings missing: C:\\u\\MyApp.ini\n"
              "candidate: Path C:\\jdk\\ 17.0.9.0: taken\n"
              "candidate: Registry Software\\JavaSoft\\JRE\\1.8: no folder value\n"
              "runtime: C:\\jdk\\bin\\server\\jvm.dll (17.0.9.0)\n"
              "handed to pair: MyApp64.exe\n"
              "jvm option: -Xmx1g\n"
              "main class: com/example/Main\n"
              "message: first\n    === launch\n    third\n"
              "exit code: unknown\n\n");

    LaunchRecord second;
    second.secondInstance = true;
    second.exitCode = -1;
    EXPECT_EQ(launchRecordText(second),
              "=== launch  process 0\nexecutable: \n"
              "second instance: arguments handed to the running instance\nexit code: -1\n\n");
}

TEST(LaunchLog, FileVersionOfAVersionResource) {
    // A header, then the fixed part: signature, structure version, file version 1.2.3.4.
    std::vector<unsigned char> bytes(40, 0);
    const unsigned char fixed[] = {0xBD, 0x04, 0xEF, 0xFE, 0, 0, 1, 0, 2, 0, 1, 0, 4, 0, 3, 0};
    bytes.insert(bytes.end(), std::begin(fixed), std::end(fixed));
    EXPECT_EQ(fileVersionOfResource(bytes.data(), bytes.size()), L"1.2.3.4");
    // Cut inside the fixed part, off its boundary, or no resource at all: nothing.
    EXPECT_EQ(fileVersionOfResource(bytes.data(), bytes.size() - 1), L"");
    bytes.insert(bytes.begin(), 0);
    EXPECT_EQ(fileVersionOfResource(bytes.data(), bytes.size()), L"");
    EXPECT_EQ(fileVersionOfResource(nullptr, 0), L"");
}

TEST(LaunchLog, FileOfTheSetting) {
    const std::wstring folder = L"C:\\Apps\\My App\\";
    const struct {
        std::wstring_view setting;
        std::wstring_view file;
    } cases[] = {
        {L"", L""},
        {L"D:\\logs\\launch.log", L"D:\\logs\\launch.log"},
        {L"\\\\server\\share\\launch.log", L"\\\\server\\share\\launch.log"},
        {L"launch.log", L"C:\\Apps\\My App\\launch.log"},
        // The product's own folder, as "\lib\*.jar" is in a class path.
        {L"\\logs\\launch.log", L"C:\\Apps\\My App\\logs\\launch.log"},
        {L"\\", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(launchLogFileOfSetting(c.setting, folder), c.file) << std::wstring(c.setting);
    }
}

}  // namespace
}  // namespace launcher
