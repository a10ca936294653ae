// Runtimes registered the way today's vendor installers register them: real registry entries in
// both views and both roots, runtime folders laid out as the vendors ship them, and the launcher
// picking one or handing the start to its 64-bit pair.
#include <windows.h>

#include "base/handles_win.h"
#include "tests/e2e/launcher_fixture_win.h"

namespace e2e {
namespace {

#ifdef _WIN64
constexpr const wchar_t* kOwnView = L"/reg:64";
constexpr const wchar_t* kOtherView = L"/reg:32";
#else
constexpr const wchar_t* kOwnView = L"/reg:32";
constexpr const wchar_t* kOtherView = L"/reg:64";
#endif

std::wstring windowsFolder() {
    wchar_t folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length);
}

// reg.exe of the machine's own bitness: a 32-bit process reaches it through "sysnative".
std::wstring regExe() {
    const std::wstring native = windowsFolder() + L"\\sysnative\\reg.exe";
    if (sizeof(void*) == 4 && GetFileAttributesW(native.c_str()) != INVALID_FILE_ATTRIBUTES) {
        return native;
    }
    return windowsFolder() + L"\\system32\\reg.exe";
}

REGSAM viewAccess(std::wstring_view view) {
    return view == L"/reg:64" ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

// Vendor keys written with the system's reg.exe, as an installer leaves them. The version keys
// go again at the end, and so do the vendor keys above them when nothing else is left in them.
class VendorKeys {
  public:
    VendorKeys() = default;
    VendorKeys(const VendorKeys&) = delete;
    VendorKeys& operator=(const VendorKeys&) = delete;
    ~VendorKeys() { removeAll(); }

    // `root` is "HKLM" or "HKCU", `vendorKey` the path below it up to the version subkey.
    void add(const std::wstring& root, const std::wstring& vendorKey, const std::wstring& version,
             const std::wstring& below, const std::wstring& valueName, const std::wstring& data,
             const wchar_t* view) {
        const std::wstring key = root + L"\\" + vendorKey + L"\\" + version + below;
        const std::wstring commandLine = support::quoteArgument(regExe()) + L" add " +
                                         support::quoteArgument(key) + L" /v " +
                                         support::quoteArgument(valueName) + L" /d " +
                                         support::quoteArgument(data) + L" /f " + view;
        // The system folder holds no test program of that name.
        const auto result = support::runAndWatch(commandLine, windowsFolder(), nullptr, 60000);
        ASSERT_TRUE(result.finished()) << result.startError;
        ASSERT_EQ(result.exitCode, 0u) << result.standardError;
        added_.push_back({root == L"HKCU" ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, vendorKey,
                          version, viewAccess(view)});
    }
    void removeAll() {
        for (const auto& entry : added_) {
            const std::wstring versionKey = entry.vendorKey + L"\\" + entry.version;
            base::UniqueRegKey key;
            if (RegOpenKeyExW(entry.root, versionKey.c_str(), 0, KEY_ALL_ACCESS | entry.view,
                              key.put()) == ERROR_SUCCESS) {
                RegDeleteTreeW(key.get(), nullptr);
                key.reset();
                RegDeleteKeyExW(entry.root, versionKey.c_str(), entry.view, 0);
            }
            // Fails, as it should, while the key holds anything.
            std::wstring parent = entry.vendorKey;
            while (parent.find(L'\\') != std::wstring::npos &&
                   RegDeleteKeyExW(entry.root, parent.c_str(), entry.view, 0) == ERROR_SUCCESS) {
                parent.resize(parent.rfind(L'\\'));
            }
        }
        added_.clear();
    }

  private:
    struct Entry {
        HKEY root;
        std::wstring vendorKey;
        std::wstring version;
        REGSAM view;
    };
    std::vector<Entry> added_;
};

const std::wstring kAdoptiumJdk = L"SOFTWARE\\Eclipse Adoptium\\JDK";
const std::wstring kMicrosoftJdk = L"SOFTWARE\\Microsoft\\JDK";
const std::wstring kZulu = L"SOFTWARE\\Azul Systems\\Zulu";
const std::wstring kHotspotMsi = L"\\hotspot\\MSI";
const std::wstring kJavaSoftJre = L"SOFTWARE\\JavaSoft\\JRE";
const std::wstring kJavaSoftJdk = L"SOFTWARE\\JavaSoft\\JDK";

class VendorRuntimeTest : public LauncherTest {
  protected:
    // With no runtime found the launcher asks for one; cancelling ends the start with -1.
    static support::WindowAction cancelJreDialog(const support::WindowInfo& window) {
        return window.hasButton(IDCANCEL) ? support::WindowAction::click(IDCANCEL)
                                          : support::WindowAction::leave();
    }

    VendorRuntimeTest() { support::removeTree(app.file(L"jre")); }

    // A runtime folder as the vendor ships it, with the fake JVM as its server library.
    std::wstring addRuntime(const std::wstring& relativeDll) {
        app.installJvm(support::FakeJvm::Full, relativeDll, true);
        app.writeScenario("main_class=com/example/Main\n", relativeDll);
        return relativeDll;
    }
    VendorKeys keys;
};

TEST_F(VendorRuntimeTest, LauncherPicksTheFittingRuntimeAcrossVendorsAndRoots) {
    const auto adoptium17 = addRuntime(L"vendors\\jdk-17.0.9.9-hotspot\\bin\\server\\jvm.dll");
    const auto adoptium8 = addRuntime(L"vendors\\jdk8u392-b08\\jre\\bin\\server\\jvm.dll");
    const auto microsoft11 = addRuntime(L"vendors\\jdk-11.0.21.9-hotspot\\bin\\server\\jvm.dll");
    const auto zulu21 = addRuntime(L"vendors\\zulu-21\\bin\\server\\jvm.dll");
    const auto otherView = addRuntime(L"vendors\\jdk-25\\bin\\server\\jvm.dll");
    app.writeBytes(L"vendors\\zulu-21\\release",
                   "IMPLEMENTOR=\"Azul Systems, Inc.\"\n"
                   "JAVA_VERSION=\"21.0.1\"\n");
    keys.add(L"HKLM", kAdoptiumJdk, L"17.0.9.9", kHotspotMsi, L"Path",
             app.file(L"vendors\\jdk-17.0.9.9-hotspot\\"), kOwnView);
    keys.add(L"HKLM", kAdoptiumJdk, L"8.0.392.8", kHotspotMsi, L"Path",
             app.file(L"vendors\\jdk8u392-b08\\"), kOwnView);
    keys.add(L"HKLM", kMicrosoftJdk, L"11.0.21.9", kHotspotMsi, L"Path",
             app.file(L"vendors\\jdk-11.0.21.9-hotspot\\"), kOwnView);
    keys.add(L"HKCU", kZulu, L"zulu-21", L"", L"InstallationPath", app.file(L"vendors\\zulu-21\\"),
             kOwnView);
    // Never seen: the other view is read only by a 32-bit launcher with a pair.
    keys.add(L"HKLM", kAdoptiumJdk, L"25.0.1.8", kHotspotMsi, L"Path",
             app.file(L"vendors\\jdk-25\\"), kOtherView);

    const struct {
        const wchar_t* bounds;
        std::wstring expected;  // the library loaded; empty for none
    } cases[] = {
        // The per-user install is the newest.
        {L"Minimum Version=9\r\nMaximum Version=any", zulu21},
        {L"Minimum Version=9\r\nMaximum Version=17", adoptium17},
        {L"Minimum Version=11\r\nMaximum Version=11", microsoft11},
        // Java 8 as vendors number it, read as 1.8.0.392; the JDK's runtime is in "jre\".
        {L"Minimum Version=1.8.0.392\r\nMaximum Version=1.8.0.400", adoptium8},
        {L"Minimum Version=9\r\nMaximum Version=any\r\nModern Runtime Keys=NO", L""},
    };
    const std::wstring libraries[] = {adoptium17, adoptium8, microsoft11, zulu21, otherView};
    for (const auto& c : cases) {
        writeLaunchSettings(std::wstring(c.bounds) + L"\r\n");
        for (const auto& dll : libraries) app.clearRecord(dll);
        const auto result = launch({}, cancelJreDialog);
        EXPECT_EQ(result.exitCode(), c.expected.empty() ? -1 : 0)
            << testing::PrintToString(c.bounds);
        for (const auto& dll : libraries) {
            EXPECT_EQ(app.readRecord(dll).empty(), dll != c.expected)
                << testing::PrintToString(c.bounds) << " " << testing::PrintToString(dll);
        }
    }
}

// A machine with an old runtime under the classic keys and a newer one from a vendor's
// installer: both take part in one ranking.
TEST_F(VendorRuntimeTest, ClassicAndVendorRuntimesAreRankedTogether) {
    const auto javaSoft8 = addRuntime(L"classic\\jre1.8.0_151\\bin\\server\\jvm.dll");
    const auto javaSoft17 = addRuntime(L"classic\\jdk-17.0.9\\bin\\server\\jvm.dll");
    const auto adoptium17 = addRuntime(L"vendors\\jdk-17.0.9.9-hotspot\\bin\\server\\jvm.dll");
    const auto adoptium21 = addRuntime(L"vendors\\jdk-21.0.1.12-hotspot\\bin\\server\\jvm.dll");
    keys.add(L"HKLM", kJavaSoftJre, L"1.8.0_151", L"", L"JavaHome",
             app.file(L"classic\\jre1.8.0_151"), kOwnView);
    keys.add(L"HKLM", kAdoptiumJdk, L"17.0.9.9", kHotspotMsi, L"Path",
             app.file(L"vendors\\jdk-17.0.9.9-hotspot\\"), kOwnView);

    const struct {
        const wchar_t* settings;
        std::wstring expected;
    } withJava8[] = {
        {L"Preferred versions=17", adoptium17},
        {L"Preferred versions=17\r\nModern Runtime Keys=No", javaSoft8},
    };
    const std::wstring libraries[] = {javaSoft8, javaSoft17, adoptium17, adoptium21};
    const auto expectLoaded = [&](const wchar_t* settings, const std::wstring& expected) {
        writeLaunchSettings(std::wstring(L"Minimum Version=any\r\nMaximum Version=any\r\n") +
                            settings + L"\r\n");
        for (const auto& dll : libraries) app.clearRecord(dll);
        EXPECT_EQ(launch().exitCode(), 0) << testing::PrintToString(settings);
        std::vector<std::wstring> loaded;
        for (const auto& dll : libraries) {
            if (!app.readRecord(dll).empty()) loaded.push_back(dll);
        }
        EXPECT_THAT(loaded, ::testing::ElementsAre(expected)) << testing::PrintToString(settings);
    };
    for (const auto& c : withJava8) expectLoaded(c.settings, c.expected);

    keys.removeAll();
    keys.add(L"HKLM", kJavaSoftJdk, L"17.0.9", L"", L"JavaHome", app.file(L"classic\\jdk-17.0.9\\"),
             kOwnView);
    keys.add(L"HKLM", kAdoptiumJdk, L"21.0.1.12", kHotspotMsi, L"Path",
             app.file(L"vendors\\jdk-21.0.1.12-hotspot\\"), kOwnView);
    expectLoaded(L"", adoptium21);
    expectLoaded(L"Modern Runtime Keys=No", javaSoft17);
}

#ifdef PAIR_LAUNCHER_EXE
// Most per-user and many machine-wide installs today are 64-bit only.
TEST_F(VendorRuntimeTest, SixtyFourBitOnlyInstallsAreHandedToThePair) {
    const std::wstring runtime = L"vendors\\jdk-21.0.1.12-hotspot\\";
    const std::wstring dll = runtime + L"bin\\server\\jvm.dll";
    const std::wstring pair = app.copyIn(support::windowsPathOf(PAIR_LAUNCHER_EXE), L"MyApp64.exe");
    app.copyIn(support::windowsPathOf(PAIR_BUILD_DIR) + L"\\tests\\support\\fakejvm.dll", dll);
    app.writeScenario("main_class=com/example/Main\nmain=exit:-3\n", dll);
    const std::wstring settings =
        L"[Java Runtime Environment]\r\nMain Class=com.example.Main\r\nMinimum Version=9\r\n"
        L"Maximum Version=any\r\n"
        L"[Class Path]\r\nClass Path=\\lib\\app.jar\r\n";
    app.writeText(L"MyApp64.ini", settings);
    const std::wstring withPair =
        settings + L"[Application]\r\nPair Product=" + pair + L"\r\nPair Return Code=Yes\r\n";

    for (const wchar_t* root : {L"HKLM", L"HKCU"}) {
        SCOPED_TRACE(testing::PrintToString(root));
        keys.add(root, kAdoptiumJdk, L"21.0.1.12", kHotspotMsi, L"Path", app.file(runtime),
                 L"/reg:64");
        app.clearRecord(dll);
        writeSettings(settings);
        // Without a pair the 64-bit library is never loaded here.
        EXPECT_EQ(launch({}, cancelJreDialog).exitCode(), -1);
        EXPECT_TRUE(app.readRecord(dll).empty());

        writeSettings(withPair);
        EXPECT_EQ(launch({L"x y"}).exitCode(), -3);
        const auto arguments = support::recordedArguments(app.readRecord(dll));
        ASSERT_TRUE(arguments.has_value());
        EXPECT_THAT(*arguments, ::testing::ElementsAre(u"x y"));
        keys.removeAll();
    }
}
#endif

}  // namespace
}  // namespace e2e
