// The vendors' own registry keys, ranked with the classic ones, against a fake registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "jre/jre_search.h"
#include "jre/pe_image.h"
#include "jre/vendor_registry_keys.h"
#include "tests/jre/fake_jre_environment.h"

namespace jre {
namespace {

using namespace fakes;

JavaVersion v(int32_t a, int32_t b, int32_t c, int32_t d) { return JavaVersion{{a, b, c, d}}; }

// Rows of kVendorRegistryKeys by vendor, kind and root.
const RegistryKeySpec& row(std::wstring_view vendorFolder, JavaKind kind,
                           JavaVendor vendor = JavaVendor::Sun,
                           RegistryRoot root = RegistryRoot::LocalMachine) {
    return *std::find_if(kVendorRegistryKeys.begin(), kVendorRegistryKeys.end(), [&](auto& key) {
        return key.path.find(vendorFolder) != std::wstring_view::npos && key.kind == kind &&
               key.vendor == vendor && key.root == root;
    });
}
const RegistryKeySpec& kAdoptiumJdk = row(L"Eclipse Adoptium", JavaKind::Jdk);
const RegistryKeySpec& kAdoptiumJdkUser =
    row(L"Eclipse Adoptium", JavaKind::Jdk, JavaVendor::Sun, RegistryRoot::CurrentUser);
const RegistryKeySpec& kFoundationJdk = row(L"Eclipse Foundation", JavaKind::Jdk);
const RegistryKeySpec& kOpenJ9Jdk = row(L"AdoptOpenJDK", JavaKind::Jdk, JavaVendor::Ibm);
const RegistryKeySpec& kZulu = row(L"Zulu", JavaKind::Jdk);
const std::wstring_view kClassicJdkKey = kRegistryKeys[0].path;
const std::wstring_view kClassicJreKey = kRegistryKeys[1].path;

// "VM Provider" "favor_ibm": every vendor class accepted, IBM preferred.
void favorIbm(JreSearchSettings& settings) {
    settings.acceptJRockit = settings.acceptSun = settings.acceptIbm = true;
    settings.preferSun = false;
    settings.preferIbm = true;
}

JreSearchSettings defaults() {
    JreSearchSettings settings;
    settings.minimumVersion = minimumVersionFromSetting(L"any");
    settings.maximumVersion = maximumVersionFromSetting(L"any");
    return settings;
}

struct Environment {
    FakeRegistry registry;
    FakeFileSystem files;

    void addRuntime(const std::wstring& folder, uint16_t machine = kMachineI386) {
        files.addFile(folder + L"bin\\server\\jvm.dll", machine);
    }
    void install(const RegistryKeySpec& key, std::wstring versionKey, const std::wstring& folder,
                 uint16_t machine = kMachineI386, RegistryView view = RegistryView::Default) {
        registry.addVendorInstallation(key, std::move(versionKey), folder, view);
        addRuntime(folder, machine);
    }
    JreSearchResult search(const JreSearchSettings& settings,
                           LauncherPlatform platform = k32BitLauncher) const {
        return searchForJre(settings, L"C:\\app\\", registry, files, platform);
    }
    bool opened(const RegistryKeySpec& key) const {
        return std::count(registry.openedKeys.begin(), registry.openedKeys.end(),
                          FakeRegistry::KeyId{key.root, RegistryView::Default,
                                              std::wstring(key.path)}) != 0;
    }
    bool openedAny(RegistryView view, RegistryRoot root) const {
        return std::any_of(kVendorRegistryKeys.begin(), kVendorRegistryKeys.end(), [&](auto& k) {
            return std::count(registry.openedKeys.begin(), registry.openedKeys.end(),
                              FakeRegistry::KeyId{root, view, std::wstring(k.path)}) != 0;
        });
    }
};

TEST(VendorKeys, EveryRowFindsItsVendorsLayoutInBothRoots) {
    JreSearchSettings settings = defaults();
    settings.acceptIbm = true;  // OpenJ9 rows
    for (const RegistryKeySpec& key : kVendorRegistryKeys) {
        Environment env;
        const std::wstring folder = L"C:\\Program Files\\Vendor\\jdk-17\\";
        const bool namesMajorOnly = key.path.find(L"Zulu") != std::wstring_view::npos;
        env.install(key, namesMajorOnly ? L"zulu-17" : L"17.0.9.9", folder);
        if (namesMajorOnly) env.files.addTextFile(folder + L"release", "JAVA_VERSION=\"17.0.9\"\n");
        const JreSearchResult result = env.search(settings);
        const std::string row =
            testing::PrintToString(std::wstring(key.path) + std::wstring(key.belowVersion));
        EXPECT_EQ(result.jvmLibraryPath, folder + L"bin\\server\\jvm.dll") << row;
        EXPECT_EQ(result.chosenVersion, namesMajorOnly ? v(17, 0, 9, 0) : v(17, 0, 9, 9)) << row;
        EXPECT_FALSE(result.relaunchViaPair) << row;
    }
}

TEST(VendorKeys, TheSwitchLeavesTheClassicKeysAlone) {
    Environment env;
    env.install(kAdoptiumJdk, L"21.0.1.12", L"C:\\jdk21\\");
    env.registry.addInstallation(RegistryView::Default, kClassicJdkKey, L"1.8", L"C:\\jdk8");
    env.addRuntime(L"C:\\jdk8\\");
    JreSearchSettings settings = defaults();
    EXPECT_EQ(env.search(settings).jvmLibraryPath, L"C:\\jdk21\\bin\\server\\jvm.dll");

    settings.modernRuntimeKeys = false;
    env.registry.openedKeys.clear();
    EXPECT_EQ(env.search(settings).jvmLibraryPath, L"C:\\jdk8\\bin\\server\\jvm.dll");
    settings.minimumVersion = minimumVersionFromSetting(L"11");  // the classic one does not fit
    EXPECT_FALSE(env.search(settings).found);
    EXPECT_FALSE(env.openedAny(RegistryView::Default, RegistryRoot::LocalMachine));
    EXPECT_FALSE(env.openedAny(RegistryView::Default, RegistryRoot::CurrentUser));
}

// Installations under the classic keys and the vendors' keys compete in one ranking.
TEST(VendorKeys, RankedInOneTableWithTheClassicKeys) {
    struct Install {
        bool classic;
        std::wstring_view key;             // a classic installation's key
        const RegistryKeySpec* vendorKey;  // a vendor installation's row
        const wchar_t* version;
        const wchar_t* folder;
    };
    const auto classic = [](std::wstring_view key, const wchar_t* version, const wchar_t* folder) {
        return Install{true, key, nullptr, version, folder};
    };
    const auto vendor = [](const RegistryKeySpec& key, const wchar_t* version,
                           const wchar_t* folder) {
        return Install{false, {}, &key, version, folder};
    };
    const struct Case {
        const char* name;
        std::vector<Install> installs;
        void (*adjust)(JreSearchSettings&);
        const wchar_t* expectedFolder;
        JavaVersion expectedVersion;
    } cases[] = {
        {"preferred version 17 over an older classic runtime",
         {classic(kClassicJreKey, L"1.8.0_151", L"C:\\jre8\\"),
          vendor(kAdoptiumJdk, L"17.0.9.9", L"C:\\jdk17\\")},
         [](JreSearchSettings& s) { s.preferredVersions = {L"17"}; },
         L"C:\\jdk17\\",
         v(17, 0, 9, 9)},
        {"a newer vendor runtime beats a classic JDK",
         {classic(kClassicJdkKey, L"17.0.9", L"C:\\oracle17\\"),
          vendor(kAdoptiumJdk, L"21.0.1.12", L"C:\\jdk21\\")},
         [](JreSearchSettings&) {},
         L"C:\\jdk21\\",
         v(21, 0, 1, 12)},
        {"the classic row wins a tie",
         {vendor(kAdoptiumJdk, L"17.0.9.9", L"C:\\temurin17\\"),
          classic(kClassicJdkKey, L"17.0.9.9", L"C:\\oracle17\\")},
         [](JreSearchSettings&) {},
         L"C:\\oracle17\\",
         v(17, 0, 9, 9)},
        {"favor_ibm: an OpenJ9 build is favoured over a newer classic Sun runtime",
         {classic(kClassicJdkKey, L"17.0.9", L"C:\\oracle17\\"),
          vendor(kOpenJ9Jdk, L"11.0.21.9", L"C:\\j9\\")},
         favorIbm,
         L"C:\\j9\\",
         v(11, 0, 21, 9)},
        {"favor_ibm with only_JDK: no favouring, the highest version",
         {classic(kClassicJdkKey, L"17.0.9", L"C:\\oracle17\\"),
          vendor(kOpenJ9Jdk, L"11.0.21.9", L"C:\\j9\\")},
         [](JreSearchSettings& s) {
             favorIbm(s);
             s.acceptJre = s.fallBackToOtherKind = false;
         },
         L"C:\\oracle17\\",
         v(17, 0, 9, 0)},
        {"only_JRE passes over the vendors' JDK rows",
         {classic(kClassicJreKey, L"1.8.0_151", L"C:\\jre8\\"),
          vendor(kAdoptiumJdk, L"21.0.1.12", L"C:\\jdk21\\")},
         [](JreSearchSettings& s) { s.acceptJdk = s.fallBackToOtherKind = false; },
         L"C:\\jre8\\",
         v(1, 8, 0, 151)},
        {"server first ranks a vendor server runtime above a newer classic client one",
         {classic(kClassicJreKey, L"1.8.0_401", L"C:\\client8\\"),
          vendor(kAdoptiumJdk, L"8.0.392.8", L"C:\\jdk8\\")},
         [](JreSearchSettings& s) { s.jvmType = JvmType::ServerFirst; },
         L"C:\\jdk8\\",
         v(1, 8, 0, 392)},
        // Installers may register one folder under both kinds of key: it counts once, as the
        // classic key names it.
        {"one folder under both keys counts once",
         {classic(kClassicJdkKey, L"17.0.9", L"C:\\jdk17"),
          vendor(kAdoptiumJdk, L"17.0.9.9", L"c:\\JDK17\\")},
         [](JreSearchSettings&) {},
         L"C:\\jdk17\\",
         v(17, 0, 9, 0)},
    };
    for (const Case& c : cases) {
        Environment env;
        for (const Install& install : c.installs) {
            const std::wstring folder = install.folder;
            if (install.classic) {
                env.registry.addInstallation(RegistryView::Default, install.key, install.version,
                                             folder);
                // Only the classic Java 8 runtime of the server-first case lacks a server JVM.
                const bool clientOnly = folder == L"C:\\client8\\";
                env.files.addFile(
                    withTrailingBackslash(folder) +
                        (clientOnly ? L"bin\\client\\jvm.dll" : L"bin\\server\\jvm.dll"),
                    kMachineI386);
            } else {
                env.install(*install.vendorKey, install.version, folder);
            }
        }
        JreSearchSettings settings = defaults();
        c.adjust(settings);
        const JreSearchResult result = env.search(settings);
        ASSERT_TRUE(result.found) << c.name;
        EXPECT_EQ(result.jvmLibraryPath.substr(0, std::wcslen(c.expectedFolder)),
                  std::wstring(c.expectedFolder))
            << c.name;
        EXPECT_EQ(result.chosenVersion, c.expectedVersion) << c.name;
    }
}

TEST(VendorKeys, TheSameFolderCountsOnceUnderItsFirstKey) {
    // A stale registration of an older release names the same folder with another case.
    Environment env;
    env.install(kAdoptiumJdk, L"17.0.9.9", L"C:\\jdk17\\");
    env.install(kAdoptiumJdkUser, L"17.0.9.9", L"C:\\JDK17\\");
    env.install(kFoundationJdk, L"17.0.10.7", L"c:\\Jdk17");
    const JreSearchResult result = env.search(defaults());
    EXPECT_EQ(result.jvmLibraryPath, L"C:\\jdk17\\bin\\server\\jvm.dll");
    EXPECT_EQ(result.chosenVersion, v(17, 0, 9, 9));
}

TEST(VendorKeys, BoundsPreferencesAndSourcesApply) {
    Environment env;
    env.install(kAdoptiumJdk, L"8.0.392.8", L"C:\\jdk8\\");
    env.install(kAdoptiumJdk, L"17.0.9.9", L"C:\\jdk17\\");
    env.install(kOpenJ9Jdk, L"21.0.1.12", L"C:\\j9\\");

    JreSearchSettings settings = defaults();
    EXPECT_EQ(env.search(settings).chosenVersion, v(17, 0, 9, 9));  // IBM builds not accepted

    settings.maximumVersion = maximumVersionFromSetting(L"1.8");
    EXPECT_EQ(env.search(settings).chosenVersion, v(1, 8, 0, 392));

    settings.maximumVersion = maximumVersionFromSetting(L"any");
    settings.preferredVersions = {L"1.8"};
    EXPECT_EQ(env.search(settings).chosenVersion, v(1, 8, 0, 392));

    // "VM Provider" any takes the highest version; favor_sun ranks the HotSpot builds first.
    settings.preferredVersions.clear();
    settings.acceptJRockit = settings.acceptSun = settings.acceptIbm = true;
    settings.preferSun = false;
    EXPECT_EQ(env.search(settings).jvmLibraryPath, L"C:\\j9\\bin\\server\\jvm.dll");
    settings.preferSun = true;
    EXPECT_EQ(env.search(settings).chosenVersion, v(17, 0, 9, 9));

    // "JVM Source" only_JRE: no JDK row is opened.
    settings.acceptJdk = settings.fallBackToOtherKind = false;
    env.registry.openedKeys.clear();
    EXPECT_FALSE(env.search(settings).found);
    EXPECT_FALSE(env.opened(kAdoptiumJdk));
}

TEST(VendorKeys, RuntimeFolderAndVersionFromTheInstallation) {
    Environment env;
    // A Java 8 JDK keeps its runtime in "jre\"; a later one has none.
    env.registry.addVendorInstallation(kAdoptiumJdk, L"8.0.392.8", L"C:\\jdk8");
    env.addRuntime(L"C:\\jdk8\\jre\\");
    JreSearchSettings settings = defaults();
    settings.maximumVersion = maximumVersionFromSetting(L"1.8");
    EXPECT_EQ(env.search(settings).jvmLibraryPath, L"C:\\jdk8\\jre\\bin\\server\\jvm.dll");

    // Zulu's key names the major version only: the "release" file decides, read to its limit.
    Environment zulu;
    zulu.install(kZulu, L"zulu-8", L"C:\\zulu8\\");
    zulu.files.addTextFile(L"C:\\zulu8\\release",
                           "JAVA_VERSION=\"1.8.0_392\"\n" + std::string(1 << 20, '#'));
    zulu.install(kZulu, L"zulu-11", L"C:\\zulu11\\");  // no "release" file: skipped
    zulu.install(kZulu, L"zulu-17", L"C:\\zulu17\\");
    zulu.files.addTextFile(L"C:\\zulu17\\release", "JAVA_VERSION=\"17.0.9\"\n");
    EXPECT_EQ(zulu.search(settings).chosenVersion, v(1, 8, 0, 392));
    settings.maximumVersion = maximumVersionFromSetting(L"16");
    settings.minimumVersion = minimumVersionFromSetting(L"9");
    EXPECT_FALSE(zulu.search(settings).found);

    // Empty or missing folder values are passed over.
    Environment broken;
    broken.registry.addVendorInstallation(kAdoptiumJdk, L"17.0.9.9", L"");
    broken.registry.addVendorInstallation(kAdoptiumJdk, L"17.0.8.7", std::nullopt);
    EXPECT_FALSE(broken.search(defaults()).found);
}

TEST(VendorKeys, LibrariesOfTheOtherMachineNeedThePair) {
    Environment env;
    env.install(kAdoptiumJdkUser, L"21.0.1.12", L"C:\\Users\\me\\jdk21\\", kMachineAmd64);
    env.install(kAdoptiumJdk, L"11.0.21.9", L"C:\\jdk11\\");
    JreSearchSettings settings = defaults();
    JreSearchResult result = env.search(settings);
    EXPECT_EQ(result.jvmLibraryPath, L"C:\\jdk11\\bin\\server\\jvm.dll");
    EXPECT_FALSE(result.relaunchViaPair);
    settings.preferredVersions = {L"21"};  // preferred, but out of reach without the pair
    EXPECT_EQ(env.search(settings).jvmLibraryPath, L"C:\\jdk11\\bin\\server\\jvm.dll");

    settings.pairProduct = L"app64.exe";
    result = env.search(settings);
    EXPECT_EQ(result.jvmLibraryPath, L"C:\\Users\\me\\jdk21\\bin\\server\\jvm.dll");
    EXPECT_TRUE(result.relaunchViaPair);

    // The 64-bit launcher passes over a 32-bit runtime the same way.
    settings.pairProduct.clear();
    Environment wide;
    wide.install(kAdoptiumJdkUser, L"17.0.9.9", L"C:\\jdk17-x86\\", kMachineI386);
    EXPECT_FALSE(wide.search(settings, k64BitLauncher).found);
}

TEST(VendorKeys, SixtyFourBitOnlyInstallHandsOverAndUserKeysAreReadOnce) {
    Environment env;
    env.install(kAdoptiumJdk, L"17.0.9.9", L"C:\\Program Files\\jdk17\\", kMachineAmd64,
                RegistryView::Wide64);
    JreSearchSettings settings = defaults();
    EXPECT_FALSE(env.search(settings).found);

    settings.pairProduct = L"app64.exe";
    const JreSearchResult result = env.search(settings);
    EXPECT_TRUE(result.relaunchViaPair);
    EXPECT_EQ(result.jvmLibraryPath, L"C:\\Program Files\\jdk17\\bin\\server\\jvm.dll");
    EXPECT_TRUE(env.openedAny(RegistryView::Wide64, RegistryRoot::LocalMachine));
    EXPECT_FALSE(env.openedAny(RegistryView::Wide64, RegistryRoot::CurrentUser));
}

}  // namespace
}  // namespace jre
