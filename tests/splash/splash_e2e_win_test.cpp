// The splash seen from outside: the real launcher under Wine shows its own window (class,
// styles, place, pixels on the screen) or drives a runtime's splash library, and ends either
// at the right moment.
#include <windows.h>

#include <cstdint>
#include <limits>

#include "base/ansi_win.h"
#include "base/handles_win.h"
#include "resources/resource_ids.h"
#include "tests/e2e/launcher_fixture_win.h"

namespace e2e {
namespace {

using ::testing::ElementsAre;

constexpr wchar_t kSplashClass[] = L"SplashScreenWindow";
constexpr std::size_t kNotCompared = std::numeric_limits<std::size_t>::max();

std::wstring imageFolder() { return support::windowsPathOf(SPLASH_IMAGE_DIR) + L"\\"; }

// How many pixels of the screen in the rectangle differ from the reference (8-bit RGB rows from
// the top) by more than `tolerance` in a channel; all of them when the sizes disagree.
std::size_t wrongPixels(const RECT& area, const std::string& reference, int tolerance) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const std::size_t count = reference.size() / 3;
    if (count == 0 || count != static_cast<std::size_t>(width * height)) return count + 1;
    // A top-down 32-bit copy of the screen: blue, green, red, unused.
    BITMAPINFO info{};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    base::UniqueScreenDc screen(GetDC(nullptr));
    base::UniqueMemoryDc memory(CreateCompatibleDC(screen.get()));
    void* bits = nullptr;
    base::UniqueGdiObject bitmap(
        CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!memory || !bitmap) return count + 1;
    HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    const bool copied =
        BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY);
    SelectObject(memory.get(), previous);
    if (!copied) return count + 1;
    const auto* pixels = static_cast<const std::uint8_t*>(bits);
    std::size_t wrong = 0;
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t channel = 0; channel < 3; ++channel) {
            const int expected = static_cast<std::uint8_t>(reference[i * 3 + channel]);
            if (std::abs(expected - pixels[i * 4 + 2 - channel]) > tolerance) {
                ++wrong;
                break;
            }
        }
    }
    return wrong;
}

// What a test saw of the launcher's splash window.
struct SplashSighting {
    HWND window = nullptr;
    LONG style = 0;
    LONG exStyle = 0;
    DWORD classStyle = 0;
    RECT rect{};
    std::size_t wrongPixels = kNotCompared;
};

// The window handler of a launch: reads the splash window (and compares its pixels with a
// reference once it has painted), and hands every other window to `other`, which answers
// message boxes with OK unless it is given.
struct SplashWatch {
    std::string reference;
    int tolerance = 0;
    support::WindowHandler other;
    SplashSighting splash;

    support::WindowAction operator()(const support::WindowInfo& window) {
        if (window.className != kSplashClass) {
            if (other) return other(window);
            return window.hasButton(IDOK) ? support::WindowAction::press(IDOK)
                                          : support::WindowAction::leave();
        }
        splash.window = window.handle;
        splash.style = GetWindowLongW(window.handle, GWL_STYLE);
        splash.exStyle = GetWindowLongW(window.handle, GWL_EXSTYLE);
        splash.classStyle = static_cast<DWORD>(GetClassLongPtrW(window.handle, GCL_STYLE));
        GetWindowRect(window.handle, &splash.rect);
        if (!reference.empty()) {
            // The window may be shown a moment before its first paint.
            for (int attempt = 0; attempt < 40; ++attempt) {
                splash.wrongPixels = wrongPixels(splash.rect, reference, tolerance);
                if (splash.wrongPixels == 0) break;
                Sleep(100);
            }
        }
        return support::WindowAction::leave();
    }
};

class SplashTest : public LauncherTest {
  protected:
    // Launch settings plus a "Display" section with the given lines.
    void writeSplashSettings(std::wstring_view displayLines,
                             std::wstring_view applicationLines = L"") {
        writeLaunchSettings(L"", std::wstring(applicationLines) + L"\r\n[Display]\r\n" +
                                     std::wstring(displayLines));
    }

    // The image's pixels as ImageMagick decoded them: 8-bit RGB rows from the top.
    std::string referencePixels(const std::wstring& image) {
        copyImage(image + L".rgb");
        return app.readBytes(image + L".rgb");
    }

    // Copies one of the made images into the application folder; returns its full path there.
    std::wstring copyImage(const std::wstring& name, const std::wstring& as = L"") {
        return app.copyIn(imageFolder() + name, as.empty() ? name : as);
    }

    // The test-only splash library as the runtime's "bin\splashscreen.dll".
    void installRuntimeSplash(bool withJarName = true) {
        const std::wstring dll = withJarName ? L"fakesplash.dll" : L"fakesplash_nojar.dll";
        app.copyIn(support::windowsPathOf(FAKESPLASH_DIR) + L"\\" + dll,
                   L"jre\\bin\\splashscreen.dll");
    }

    // Launches with the splash library recording into the fake JVM's record, so the two
    // libraries' calls appear in one order.
    Launch launchWatching(SplashWatch& watch, const std::vector<std::wstring>& arguments = {},
                          support::RunOptions options = {}) {
        options.environment.push_back(L"FAKESPLASH_RECORD=" +
                                      app.file(L"jre\\bin\\client\\fakejvm.record"));
        return launch(arguments, std::ref(watch), options);
    }
};

std::vector<std::string> splashCalls(const std::vector<std::string>& record) {
    std::vector<std::string> calls;
    for (const auto& line : record) {
        if (line.rfind("Splash", 0) == 0 || line.rfind("splash", 0) == 0) calls.push_back(line);
    }
    return calls;
}

// Long enough for the splash to be read and compared while main runs.
constexpr char kSlowMain[] = "main_class=com/example/Main\nmain=sleep:1500\n";
// Before main ends: long enough for a watcher slowed by emulation or a busy machine to see the
// splash at all.
constexpr char kSightingTime[] = "sleep:4000";

TEST_F(SplashTest, ScreenShowsTheImageInEveryFormat) {
    // JPEG is lossy: its decoders may round a step apart.
    const std::pair<const wchar_t*, int> formats[] = {
        {L"pattern.png", 0}, {L"pattern.bmp", 0}, {L"pattern.gif", 0}, {L"pattern.jpg", 6}};
    writeScenario(kSlowMain);
    for (const auto& [image, tolerance] : formats) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(image)));
        writeSplashSettings(L"Splash Screen=" + copyImage(image));
        SplashWatch watch{referencePixels(image), tolerance, nullptr, {}};
        ASSERT_FALSE(watch.reference.empty());
        const auto result = launchWatching(watch);
        EXPECT_EQ(result.exitCode(), 0);
        ASSERT_NE(watch.splash.window, nullptr);
        EXPECT_EQ(watch.splash.rect.right - watch.splash.rect.left, 240);
        EXPECT_EQ(watch.splash.rect.bottom - watch.splash.rect.top, 160);
        EXPECT_EQ(watch.splash.wrongPixels, 0u);
    }
}

TEST_F(SplashTest, WindowIsAnUnownedPopupToolWindowCentredOnTheScreen) {
    const int screenWidth = GetSystemMetrics(SM_CXSCREEN);
    const int screenHeight = GetSystemMetrics(SM_CYSCREEN);
    struct Case {
        const wchar_t* image;
        int width;
        int height;
    };
    // Odd differences round toward zero: a 1301-pixel image on a 1280-pixel screen starts at
    // -10, not -11.
    const Case cases[] = {{L"odd.png", 301, 201}, {L"wide.png", 1301, 50}};
    writeScenario(kSlowMain);
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.image)));
        writeSplashSettings(L"Splash Screen=" + copyImage(c.image));
        SplashWatch watch;
        const auto result = launchWatching(watch);
        EXPECT_EQ(result.exitCode(), 0);
        ASSERT_NE(watch.splash.window, nullptr);
        const RECT expected{(screenWidth - c.width) / 2, (screenHeight - c.height) / 2,
                            (screenWidth - c.width) / 2 + c.width,
                            (screenHeight - c.height) / 2 + c.height};
        EXPECT_EQ(watch.splash.rect.left, expected.left);
        EXPECT_EQ(watch.splash.rect.top, expected.top);
        EXPECT_EQ(watch.splash.rect.right, expected.right);
        EXPECT_EQ(watch.splash.rect.bottom, expected.bottom);
        // A borderless popup: no caption, frame or border (the system adds WS_CLIPSIBLINGS).
        EXPECT_NE(watch.splash.style & static_cast<LONG>(WS_POPUP), 0);
        EXPECT_EQ(watch.splash.style & (WS_CHILD | WS_CAPTION | WS_BORDER | WS_THICKFRAME), 0);
        EXPECT_EQ(watch.splash.exStyle & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST), WS_EX_TOOLWINDOW);
        EXPECT_EQ(watch.splash.classStyle & ~DWORD{CS_DROPSHADOW}, DWORD{CS_DBLCLKS | CS_SAVEBITS});
    }
}

TEST_F(SplashTest, ShadowOnlyForExactLowerCaseTrue) {
    // The other spellings are the settings reader's unit tests' business.
    const std::pair<const wchar_t*, bool> cases[] = {{L"true", true}, {L"True", false}};
    writeScenario(kSlowMain);
    const std::wstring image = copyImage(L"odd.png");
    for (const auto& [value, shadow] : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(value)));
        writeSplashSettings(L"Splash Screen=" + image + L"\r\nSplash Screen Shadow=" + value);
        SplashWatch watch;
        launchWatching(watch);
        ASSERT_NE(watch.splash.window, nullptr);
        EXPECT_EQ((watch.splash.classStyle & CS_DROPSHADOW) != 0, shadow);
    }
}

TEST_F(SplashTest, MissingOrBrokenImageGivesAnInvisibleWindowAndNoMessage) {
    writeScenario(kSlowMain);
    const std::wstring broken = copyImage(L"broken.png");
    for (const std::wstring& image : {app.file(L"absent.png"), broken}) {
        SCOPED_TRACE(testing::PrintToString(image));
        writeSplashSettings(L"Splash Screen=" + image);
        SplashWatch watch;
        const auto result = launchWatching(watch);
        EXPECT_EQ(result.exitCode(), 0);
        EXPECT_TRUE(result.errorTexts().empty());
        if (watch.splash.window != nullptr) {
            EXPECT_EQ(watch.splash.rect.right - watch.splash.rect.left, 0);
            EXPECT_EQ(watch.splash.rect.bottom - watch.splash.rect.top, 0);
        }
    }
}

TEST_F(SplashTest, EitherSwitchSuppressesTheSplashAndStillReachesTheProgram) {
    writeScenario(kSlowMain);
    writeSplashSettings(L"Splash Screen=" + copyImage(L"odd.png"));
    for (const wchar_t* flag : {L"-nosplash", L"/nosplash"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(flag)));
        app.clearRecord();
        SplashWatch watch;
        const auto result = launchWatching(watch, {L"first", flag});
        EXPECT_EQ(result.exitCode(), 0);
        EXPECT_EQ(watch.splash.window, nullptr);
        const auto arguments = support::recordedArguments(result.record);
        ASSERT_TRUE(arguments);
        EXPECT_EQ(arguments->size(), 2u);
    }
}

TEST_F(SplashTest, SplashIsGoneOnceMainReturnsWhileProgramThreadsStillRun) {
    // main returns and leaves a non-daemon thread with a message box: the process lives on
    // until it is answered, but the splash must not.
    writeScenario("main_class=com/example/Main\nmain=" + std::string(kSightingTime) +
                  ",box:still running\n");
    writeSplashSettings(L"Splash Screen=" + copyImage(L"odd.png"));
    bool goneWhileBoxShown = false;
    SplashWatch watch;
    watch.other = [&](const support::WindowInfo& window) {
        if (window.messageText() == L"still running") {
            for (int attempt = 0; attempt < 100 && !goneWhileBoxShown; ++attempt) {
                goneWhileBoxShown = !IsWindow(watch.splash.window);
                Sleep(50);
            }
        }
        return support::WindowAction::press(IDOK);
    };
    const auto result = launchWatching(watch);
    EXPECT_EQ(result.exitCode(), 0);
    ASSERT_NE(watch.splash.window, nullptr);
    EXPECT_TRUE(goneWhileBoxShown);
}

TEST_F(SplashTest, SplashIsGoneBeforeTheExceptionDialogShows) {
    writeScenario("main_class=com/example/Main\nmain=" + std::string(kSightingTime) + ",throw\n");
    writeSplashSettings(L"Splash Screen=" + copyImage(L"odd.png"), L"Failure Check=Yes");
    bool splashAliveAtDialog = true;
    HWND dialogOwner = reinterpret_cast<HWND>(1);
    SplashWatch watch;
    watch.other = [&](const support::WindowInfo& window) {
        if (window.control(IDC_EXCEPTION_TEXT) == nullptr) return support::WindowAction::leave();
        splashAliveAtDialog = IsWindow(watch.splash.window) != FALSE;
        dialogOwner = GetWindow(window.handle, GW_OWNER);
        return support::WindowAction::press(IDOK);
    };
    const auto result = launchWatching(watch);
    EXPECT_EQ(result.exitCode(), 0);
    ASSERT_NE(watch.splash.window, nullptr);
    EXPECT_FALSE(splashAliveAtDialog);
    EXPECT_EQ(dialogOwner, nullptr);
}

TEST_F(SplashTest, ErrorBoxWhileTheSplashIsUpIsOwnedByIt) {
    // JVM creation fails after a while, as a slow start would, with the splash on screen.
    writeScenario("main_class=com/example/Main\ncreate_delay=2000\ncreate_result=-1\n");
    writeSplashSettings(L"Splash Screen=" + copyImage(L"odd.png"));
    HWND boxOwner = nullptr;
    std::wstring boxText;
    SplashWatch watch;
    watch.other = [&](const support::WindowInfo& window) {
        boxText = window.messageText();
        boxOwner = GetWindow(window.handle, GW_OWNER);
        return support::WindowAction::press(IDOK);
    };
    const auto result = launchWatching(watch);
    EXPECT_EQ(result.exitCode(), -1);
    ASSERT_NE(watch.splash.window, nullptr);
    EXPECT_FALSE(boxText.empty());
    EXPECT_EQ(boxOwner, watch.splash.window);
}

// The runtime's splash library.

TEST_F(SplashTest, PreferredRuntimeLibraryGetsTheAnsiPathAndClosesAfterTheJvm) {
    installRuntimeSplash();
    const std::wstring image = copyImage(L"odd.png", L"spl\u00e4sh.png");
    writeScenario("main_class=com/example/Main\nmain=sleep:500\n");
    for (const wchar_t* preference : {L"Yes", L"yES"}) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(preference)));
        app.clearRecord();
        writeSplashSettings(L"Splash Screen=" + image + L"\r\nPreffer Native Splash Screen=" +
                            preference);
        SplashWatch watch;
        const auto result = launchWatching(watch);
        EXPECT_EQ(result.exitCode(), 0);
        EXPECT_EQ(watch.splash.window, nullptr);
        const std::string narrowImage = base::toThreadAnsi(image);
        EXPECT_THAT(splashCalls(result.record),
                    ElementsAre("SplashInit", "SplashLoadFile " + narrowImage,
                                "SplashSetFileJarName " + narrowImage + "|", "SplashClose"));
        const auto destroyed = support::indexOf(result.record, "destroyed");
        const auto closed = support::indexOf(result.record, "SplashClose");
        const auto created = support::indexOf(result.record, "created");
        const auto init = support::indexOf(result.record, "SplashInit");
        ASSERT_TRUE(destroyed && closed && created && init);
        EXPECT_LT(*init, *created);
        EXPECT_LT(*destroyed, *closed);
    }
}

TEST_F(SplashTest, OwnWindowUnlessTheRuntimeLibraryIsPreferredPresentAndComplete) {
    struct Case {
        const char* what;
        const wchar_t* preference;
        int library;  // 0 none, 1 complete, 2 without SplashSetFileJarName, 3 failing to load
        std::vector<std::string> calls;
    };
    writeScenario(kSlowMain);
    const std::wstring image = copyImage(L"odd.png");
    const std::string loadCall = "SplashLoadFile " + base::toThreadAnsi(image);
    const Case cases[] = {
        {"preference true", L"true", 1, {}},
        {"no preference", L"", 1, {}},
        {"preferred but absent", L"Yes", 0, {}},
        // The incomplete library is not started, but stays loaded and is closed at the end.
        {"preferred but incomplete", L"Yes", 2, {"SplashClose"}},
        // The library cannot load the image: as if it were absent, never closed.
        {"preferred but failing to load the image", L"Yes", 3, {"SplashInit", loadCall}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        app.clearRecord();
        DeleteFileW(app.file(L"jre\\bin\\splashscreen.dll").c_str());
        if (c.library != 0) installRuntimeSplash(c.library != 2);
        writeSplashSettings(L"Splash Screen=" + image + L"\r\nPreffer Native Splash Screen=" +
                            c.preference);
        SplashWatch watch;
        support::RunOptions options;
        if (c.library == 3) options.environment.push_back(L"FAKESPLASH_LOAD_FAILS=1");
        const auto result = launchWatching(watch, {}, options);
        EXPECT_EQ(result.exitCode(), 0);
        EXPECT_NE(watch.splash.window, nullptr);
        EXPECT_EQ(splashCalls(result.record), c.calls);
    }
}

TEST_F(SplashTest, RuntimeLibraryIsClosedExactlyOnceHoweverTheLaunchEnds) {
    struct Case {
        const char* what;
        const char* scenario;
        std::wstring_view applicationLines;
        int exitCode;
        const char* closedAfter;
    };
    const Case cases[] = {
        {"exception dialog, ignored", "main=throw\n", L"Failure Check=Yes", 0, "destroyed"},
        {"exception dialog, stopped", "main=throw\n", L"Failure Check=Yes", -1, "exit -1"},
        {"System.exit", "main=exit:3\n", L"", 3, "exit 3"},
        {"failed JVM creation", "create_result=-1\n", L"", -1, "create failed -1"},
    };
    installRuntimeSplash();
    const std::wstring image = copyImage(L"odd.png");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        app.clearRecord();
        writeScenario(std::string("main_class=com/example/Main\n") + c.scenario);
        writeSplashSettings(L"Splash Screen=" + image + L"\r\nPreffer Native Splash Screen=Yes",
                            c.applicationLines);
        SplashWatch watch;
        watch.other = [&](const support::WindowInfo& window) {
            const int button =
                window.control(IDC_EXCEPTION_TEXT) != nullptr && c.exitCode != 0 ? IDCANCEL : IDOK;
            return support::WindowAction::press(button);
        };
        const auto result = launchWatching(watch);
        EXPECT_EQ(result.exitCode(), c.exitCode);
        const auto calls = splashCalls(result.record);
        EXPECT_EQ(std::count(calls.begin(), calls.end(), "SplashClose"), 1)
            << testing::PrintToString(result.record);
        const auto before = support::indexOf(result.record, c.closedAfter);
        const auto closed = support::indexOf(result.record, "SplashClose");
        ASSERT_TRUE(before && closed) << testing::PrintToString(result.record);
        EXPECT_LT(*before, *closed);
    }
}

}  // namespace
}  // namespace e2e
