// Where a launch loads libraries from: the runtime's imports from its own bin folder, and never a
// DLL planted under a system library's name beside the executable or in the current directory.
#include <windows.h>

#include "tests/e2e/launcher_fixture_win.h"

namespace e2e {
namespace {

std::wstring doubleDll(const char* name) {
    return support::windowsPathOf(DLL_DOUBLES_DIR) + L"\\" +
           std::wstring(name, name + strlen(name));
}

class DllSearchTest : public LauncherTest {
  protected:
    // The test runtime that imports jvmhelper.dll, with the runtime's own helper in jre\bin.
    void installRuntimeWithHelper() {
        app.copyIn(doubleDll("fakejvm_helper.dll"), L"jre\\bin\\client\\jvm.dll");
        app.copyIn(doubleDll("jvmhelper.dll"), L"jre\\bin\\jvmhelper.dll");
    }
    void plantDecoyHelper(std::wstring_view folder) {
        app.copyIn(doubleDll("jvmhelper_decoy.dll"), std::wstring(folder) + L"jvmhelper.dll");
    }
};

TEST_F(DllSearchTest, RuntimeImportsWinOverCopiesBesideTheExecutableAndOnSystemPath) {
    // The helper lies in the runtime's bin folder only, not beside jvm.dll. An application may
    // ship its own DLL of the same name (another C runtime, say), and "System Path" may name
    // another runtime's bin folder; neither may serve this runtime.
    installRuntimeWithHelper();
    plantDecoyHelper(L"");
    plantDecoyHelper(L"tools\\");
    writeLaunchSettings(L"System Path=" + app.file(L"tools") + L"\r\n");
    const auto result = launch();
    EXPECT_EQ(result.exitCode(), 0) << ::testing::PrintToString(result.errorTexts());
    EXPECT_THAT(result.record, ::testing::Contains("helper 1"));
    EXPECT_THAT(result.record, ::testing::Not(::testing::Contains("helper 2")));
}

// Makes Wine prefer a native copy of these libraries in MyApp.exe alone (its own libraries are
// preferred otherwise), so a search that reached a planted copy would load it. Windows ignores
// the key.
class NativeFirstForMyApp {
  public:
    explicit NativeFirstForMyApp(const std::vector<std::wstring>& names) {
        for (const auto& name : names) {
            const std::wstring value = L"native,builtin";
            RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name.c_str(), REG_SZ, value.c_str(),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
        }
    }
    ~NativeFirstForMyApp() {
        RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\MyApp.exe");
    }
    NativeFirstForMyApp(const NativeFirstForMyApp&) = delete;
    NativeFirstForMyApp& operator=(const NativeFirstForMyApp&) = delete;

  private:
    static constexpr const wchar_t* kKey = L"Software\\Wine\\AppDefaults\\MyApp.exe\\DllOverrides";
};

TEST_F(DllSearchTest, PlantedSystemLibrariesAreNeverLoaded) {
    // GDI+ is the library the launcher itself binds late (for the splash); Wine's own window
    // libraries load theirs by name, so other names would test Wine rather than the launcher.
    const std::vector<std::wstring> names = {L"gdiplus"};
    const NativeFirstForMyApp nativeFirst(names);
    for (const auto& name : names) {
        app.copyIn(doubleDll("planted.dll"), name + L".dll");
        app.copyIn(doubleDll("planted.dll"), L"cwd\\" + name + L".dll");
    }
    writeLaunchSettings();
    // An error box as well, so the window and dialog libraries are at work.
    writeScenario("main_class=com/example/Main\nmain=box:hello,return\n");
    support::RunOptions options;
    const std::wstring commandLine = exe;
    const auto run = support::runAndWatch(
        commandLine, app.file(L"cwd"),
        [](const support::WindowInfo& window) {
            return window.hasButton(IDOK) ? support::WindowAction::press(IDOK)
                                          : support::WindowAction::leave();
        },
        options);
    EXPECT_TRUE(run.finished());
    for (const auto& name : names) {
        EXPECT_FALSE(app.exists(name + L".dll.loaded")) << name;
        EXPECT_FALSE(app.exists(L"cwd\\" + name + L".dll.loaded")) << name;
    }
}

}  // namespace
}  // namespace e2e
