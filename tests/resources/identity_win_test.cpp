// The manifest and version information of the shipped executables, read back out of the files
// the way the loader and Explorer read them, and the manifest's effect on a running launch.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/handles_win.h"
#include "tests/support/app_folder_win.h"
#include "tests/support/record_lines.h"
#include "tests/support/run_and_watch_win.h"

namespace {

using ::testing::HasSubstr;

std::vector<std::wstring> shippedExecutables() {
    std::vector<std::wstring> files{support::windowsPathOf(LAUNCHER_EXE)};
#ifdef PAIR_LAUNCHER_EXE
    files.push_back(support::windowsPathOf(PAIR_LAUNCHER_EXE));
#endif
    return files;
}

std::wstring fileNameOf(const std::wstring& path) { return path.substr(path.rfind(L'\\') + 1); }

std::string manifestOf(const std::wstring& file) {
    const base::UniqueModule image(LoadLibraryExW(
        file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!image) return {};
    HRSRC resource = FindResourceW(image.get(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    if (resource == nullptr) return {};
    HGLOBAL loaded = LoadResource(image.get(), resource);
    const auto* bytes = static_cast<const char*>(LockResource(loaded));
    return bytes == nullptr ? std::string()
                            : std::string(bytes, SizeofResource(image.get(), resource));
}

TEST(Manifest, DeclaresWhatAModernProgramNeeds) {
    // One needle per promise the manifest makes; each is what Windows reads.
    const char* const needles[] = {
        "name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
        "level=\"asInvoker\"",
        "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
        "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10 and 11
        ">true/pm</dpiAware>",
        ">PerMonitorV2, PerMonitor</dpiAwareness>",
        ">true</longPathAware>",
    };
    for (const auto& file : shippedExecutables()) {
        SCOPED_TRACE(::testing::PrintToString(fileNameOf(file)));
        const std::string manifest = manifestOf(file);
        ASSERT_FALSE(manifest.empty()) << "no manifest resource";
        for (const char* needle : needles) EXPECT_THAT(manifest, HasSubstr(needle));
    }
}

TEST(Manifest, ParsesAsAnActivationContext) {
    // A manifest the loader cannot parse stops the program before its first instruction
    // ("side-by-side configuration is incorrect"); creating a context from it parses it the same
    // way.
    for (const auto& file : shippedExecutables()) {
        SCOPED_TRACE(::testing::PrintToString(fileNameOf(file)));
        ACTCTXW request{};
        request.cbSize = sizeof(request);
        request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        request.lpSource = file.c_str();
        request.lpResourceName = MAKEINTRESOURCEW(1);
        HANDLE context = CreateActCtxW(&request);
        ASSERT_NE(context, INVALID_HANDLE_VALUE) << "error " << GetLastError();
        ReleaseActCtx(context);
    }
}

std::wstring versionString(const std::vector<char>& block, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(block.data(), query.c_str(), &value, &length) || length == 0) return {};
    return std::wstring(static_cast<const wchar_t*>(value));
}

TEST(VersionInformation, ReadsBackAsExplorerShowsIt) {
    const std::string expected = LAUNCHER_VERSION;
    const std::wstring version(expected.begin(), expected.end());
    for (const auto& file : shippedExecutables()) {
        SCOPED_TRACE(::testing::PrintToString(fileNameOf(file)));
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeW(file.c_str(), &ignored);
        ASSERT_GT(size, 0u) << "no version information";
        std::vector<char> block(size);
        ASSERT_TRUE(GetFileVersionInfoW(file.c_str(), 0, size, block.data()));

        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
        ASSERT_EQ(fixed->dwSignature, 0xFEEF04BDu);
        const std::wstring fixedVersion = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                                          std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                                          std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                                          std::to_wstring(LOWORD(fixed->dwFileVersionLS));
        EXPECT_EQ(fixedVersion, version);
        EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
        EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

        EXPECT_EQ(versionString(block, L"FileVersion"), version);
        EXPECT_EQ(versionString(block, L"ProductVersion"), version);
        EXPECT_EQ(versionString(block, L"OriginalFilename"), fileNameOf(file));
        EXPECT_FALSE(versionString(block, L"FileDescription").empty());
        EXPECT_FALSE(versionString(block, L"ProductName").empty());
    }
}

// What the test runtime saw of the process's look when `commandLine` loaded it.
std::vector<std::string> lookSeenBy(support::AppFolder& app, const std::wstring& commandLine) {
    app.clearRecord();
    support::RunOptions options;
    options.timeoutMs = 60000;
    options.environment = {L"FAKEJVM_PROBE_LOOK=1"};
    const auto result = support::runAndWatch(
        commandLine, app.path(),
        [](const support::WindowInfo&) { return support::WindowAction::leave(); }, options);
    EXPECT_TRUE(result.finished());
    std::vector<std::string> look;
    for (const auto& line : app.readRecord()) {
        if (line.starts_with("look ")) look.push_back(line);
    }
    return look;
}

TEST(Manifest, ARunningLaunchGetsCommonControls6AndPerMonitorDpi) {
    support::AppFolder app(L"look");
    const std::wstring exe = app.copyIn(support::windowsPathOf(LAUNCHER_EXE), L"MyApp.exe");
    const std::wstring jvm = app.installJvm(support::FakeJvm::Full);
    app.writeScenario("main_class=com/example/Main\n");
    app.writeBytes(L"lib\\app.jar", "PK");
    app.writeText(L"MyApp.ini",
                  L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\n"
                  L"[Class Path]\r\nClass Path=\\lib\\app.jar\r\n");
    EXPECT_THAT(lookSeenBy(app, exe),
                ::testing::ElementsAre("look buttons=comctl32.dll", "look dpi=per-monitor"));
    // The same runtime in a host without a manifest gets the window library's own buttons, so
    // the check above does tell the manifest's effect.
    const std::wstring bare = support::windowsPathOf(MINIMAL_LOADER_EXE) + L" " + jvm;
    EXPECT_THAT(lookSeenBy(app, bare), ::testing::Contains("look buttons=user32.dll"));
}

}  // namespace
