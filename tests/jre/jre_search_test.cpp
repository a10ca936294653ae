#include "jre/jre_search.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "jre/pe_image.h"
#include "tests/jre/fake_jre_environment.h"

namespace jre {
namespace {

using namespace fakes;

JavaVersion v(int32_t a, int32_t b, int32_t c, int32_t d) { return JavaVersion{{a, b, c, d}}; }

// Settings as an empty settings file leaves them, with open version bounds.
JreSearchSettings defaults() {
    JreSearchSettings settings;
    settings.minimumVersion = minimumVersionFromSetting(L"any");
    settings.maximumVersion = maximumVersionFromSetting(L"any");
    return settings;
}

void setSource(JreSearchSettings& settings, bool jdk, bool jre, bool fallBack) {
    settings.acceptJdk = jdk;
    settings.acceptJre = jre;
    settings.fallBackToOtherKind = fallBack;
}

// "VM Provider" "favor_ibm": every vendor accepted, IBM preferred.
void favorIbm(JreSearchSettings& settings) {
    settings.acceptJRockit = settings.acceptSun = settings.acceptIbm = true;
    settings.preferJRockit = settings.preferSun = false;
    settings.preferIbm = true;
}

const std::wstring_view kJreKey = kRegistryKeys[1].path;
const std::wstring_view kJdkLongKey = kRegistryKeys[2].path;
const std::wstring_view kJreLongKey = kRegistryKeys[3].path;
const std::wstring_view kIbmKey = kRegistryKeys[6].path;

struct Environment {
    FakeRegistry registry;
    FakeFileSystem files;

    // A runtime folder with the given libraries ("client", "server", ...).
    void addRuntime(const std::wstring& home, std::initializer_list<const wchar_t*> jvmFolders,
                    uint16_t machine = kMachineI386) {
        files.addFile(home + L"bin\\java.dll");
        for (const wchar_t* folder : jvmFolders) {
            files.addFile(home + L"bin\\" + folder + L"\\jvm.dll", machine);
        }
    }
    void install(std::wstring_view key, std::wstring version, const std::wstring& home,
                 std::initializer_list<const wchar_t*> jvmFolders,
                 RegistryView view = RegistryView::Default) {
        registry.addInstallation(view, key, std::move(version), home);
        addRuntime(withTrailingBackslash(home), jvmFolders);
    }
    JreSearchResult search(const JreSearchSettings& settings,
                           std::wstring_view executableFolder = L"C:\\app\\",
                           LauncherPlatform platform = k32BitLauncher) const {
        return searchForJre(settings, executableFolder, registry, files, platform);
    }
    bool opened(std::wstring_view key, RegistryView view = RegistryView::Default,
                RegistryRoot root = RegistryRoot::LocalMachine) const {
        return std::find(registry.openedKeys.begin(), registry.openedKeys.end(),
                         FakeRegistry::KeyId{root, view, std::wstring(key)}) !=
               registry.openedKeys.end();
    }
};

TEST(ProbeJvmLibrary, FollowsTheOrderOfTheJvmType) {
    struct Case {
        std::initializer_list<const wchar_t*> present;
        JvmType type;
        const wchar_t* found;  // relative to the folder, empty for none
        bool server;
    };
    const Case cases[] = {
        {{L"client", L"server"}, JvmType::ClientFirst, L"bin\\client\\jvm.dll", false},
        {{L"client", L"server"}, JvmType::ServerFirst, L"bin\\server\\jvm.dll", true},
        {{L"client", L"server"}, JvmType::ServerOnly, L"bin\\server\\jvm.dll", true},
        {{L"client"}, JvmType::ServerOnly, L"", false},
        {{L"client"}, JvmType::ServerFirst, L"bin\\client\\jvm.dll", false},
        {{L"hotspot", L"classic"}, JvmType::ClientFirst, L"bin\\classic\\jvm.dll", false},
        {{L"hotspot", L"jrockit"}, JvmType::ServerFirst, L"bin\\hotspot\\jvm.dll", false},
        {{L"jrockit", L"server"}, JvmType::ClientFirst, L"bin\\server\\jvm.dll", true},
        {{L"jrockit"}, JvmType::ClientFirst, L"bin\\jrockit\\jvm.dll", false},
        {{L"other"}, JvmType::ClientFirst, L"", false},
    };
    for (const auto& c : cases) {
        Environment env;
        env.addRuntime(L"D:\\jre\\", c.present);
        const ProbeResult probe = probeJvmLibrary(L"D:\\jre\\", c.type, env.files);
        const std::wstring expected = *c.found ? std::wstring(L"D:\\jre\\") + c.found : L"";
        EXPECT_EQ(probe.jvmLibraryPath, expected) << static_cast<int>(c.type);
        EXPECT_EQ(probe.server, c.server) << static_cast<int>(c.type);
    }
}

TEST(RankAndSelect, OrderAndPreferredVersions) {
    struct Case {
        const char* name;
        std::vector<JreCandidate> candidates;
        bool fallBack;
        JvmType type;
        std::vector<std::wstring> preferred;
        JavaVersion selected;
    };
    const JreCandidate java8{v(1, 8, 0, 151), L"a\\", false, false};
    const JreCandidate java11{v(11, 0, 2, 0), L"b\\", false, false};
    const JreCandidate java8Favoured{v(1, 8, 0, 1), L"c\\", false, true};
    const JreCandidate java8Server{v(1, 8, 0, 5), L"d\\", true, false};
    const Case cases[] = {
        {"highest version wins", {java8, java11}, true, JvmType::ClientFirst, {}, java11.version},
        {"preferred 1.8", {java8, java11}, true, JvmType::ClientFirst, {L"1.8"}, java8.version},
        {"empty first piece matches all",
         {java8, java11},
         true,
         JvmType::ClientFirst,
         {L"", L"1.8"},
         java11.version},
        {"unmatched preference falls to the top",
         {java8, java11},
         true,
         JvmType::ClientFirst,
         {L"9"},
         java11.version},
        {"first matching preference decides",
         {java8, java11},
         true,
         JvmType::ClientFirst,
         {L"1.7", L"11", L"1.8"},
         java11.version},
        {"favoured above version",
         {java11, java8Favoured},
         true,
         JvmType::ClientFirst,
         {},
         java8Favoured.version},
        {"favour ignored without fall-back",
         {java11, java8Favoured},
         false,
         JvmType::ClientFirst,
         {},
         java11.version},
        {"server first ranks server above version",
         {java11, java8Server},
         true,
         JvmType::ServerFirst,
         {},
         java8Server.version},
        {"server flag ignored for client first",
         {java11, java8Server},
         true,
         JvmType::ClientFirst,
         {},
         java11.version},
        {"server flag ignored for server only",
         {java11, java8Server},
         true,
         JvmType::ServerOnly,
         {},
         java11.version},
    };
    for (const auto& c : cases) {
        JreSearchSettings settings = defaults();
        settings.fallBackToOtherKind = c.fallBack;
        settings.jvmType = c.type;
        std::vector<JreCandidate> ranked = c.candidates;
        rankCandidates(ranked, settings);
        EXPECT_EQ(ranked[selectCandidate(ranked, c.preferred)].version, c.selected) << c.name;
    }
}

TEST(RankAndSelect, EqualKeysKeepRegistryOrder) {
    std::vector<JreCandidate> ranked{{v(1, 8, 0, 0), L"first\\", false, false},
                                     {v(11, 0, 0, 0), L"top\\", false, false},
                                     {v(1, 8, 0, 0), L"second\\", false, false},
                                     {v(1, 8, 0, 0), L"third\\", false, false}};
    rankCandidates(ranked, defaults());
    std::vector<std::wstring> order;
    for (const auto& candidate : ranked) order.push_back(candidate.homeFolder);
    EXPECT_EQ(order, (std::vector<std::wstring>{L"top\\", L"first\\", L"second\\", L"third\\"}));
    EXPECT_EQ(selectCandidate(ranked, {L"1.8"}), 1u);
}

TEST(KeySelection, JvmSourceAndVendorDecideWhichKeysAreOpened) {
    struct Case {
        const char* name;
        bool jdk, jre, fallBack;
        bool anyVendor;
        std::array<bool, 7> searched;
    };
    const Case cases[] = {
        {"empty source", true, true, true, false, {true, true, true, true, false, false, false}},
        {"only_JRE", false, true, false, false, {false, true, false, true, false, false, false}},
        {"only_JDK", true, false, false, false, {true, false, true, false, false, false, false}},
        {"favor_JRE", false, true, true, false, {true, true, true, true, false, false, false}},
        {"misspelt source", false, false, false, true, {}},
        {"only_JRE, any vendor",
         false,
         true,
         false,
         true,
         {false, true, false, true, true, false, true}},
        {"empty source, any vendor",
         true,
         true,
         true,
         true,
         {true, true, true, true, true, true, true}},
    };
    for (const auto& c : cases) {
        Environment env;
        JreSearchSettings settings = defaults();
        setSource(settings, c.jdk, c.jre, c.fallBack);
        if (c.anyVendor) settings.acceptJRockit = settings.acceptIbm = true;
        EXPECT_FALSE(env.search(settings).found);
        for (size_t i = 0; i < kRegistryKeys.size(); ++i) {
            EXPECT_EQ(env.opened(kRegistryKeys[i].path), c.searched[i]) << c.name << " key " << i;
        }
    }
}

TEST(RegistrySearch, HigherVersionOrPreferredVersion) {
    Environment env;
    env.install(kJreKey, L"1.8.0_151", L"C:\\Java\\jre8", {L"client"});
    env.install(kJreKey, L"11.0.2", L"C:\\Java\\jre11", {L"client"});

    JreSearchSettings settings = defaults();
    JreSearchResult result = env.search(settings);
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.jvmLibraryPath, L"C:\\Java\\jre11\\bin\\client\\jvm.dll");
    EXPECT_EQ(result.chosenVersion, v(11, 0, 2, 0));
    EXPECT_FALSE(result.relaunchViaPair);

    settings.preferredVersions = {L"1.8"};
    result = env.search(settings);
    EXPECT_EQ(result.jvmLibraryPath, L"C:\\Java\\jre8\\bin\\client\\jvm.dll");
    EXPECT_EQ(result.chosenVersion, v(1, 8, 0, 151));

    settings.preferredVersions = {L"", L"1.8"};
    EXPECT_EQ(env.search(settings).chosenVersion, v(11, 0, 2, 0));
}

TEST(RegistrySearch, FavouredVendorOnlyWhenFavouringApplies) {
    Environment env;
    env.install(kJreKey, L"11.0.2", L"C:\\Java\\sun11\\", {L"client"});
    env.install(kIbmKey, L"1.8.0.1", L"C:\\IBM\\java8\\", {L"client"});

    JreSearchSettings settings = defaults();
    favorIbm(settings);
    EXPECT_EQ(env.search(settings).jvmLibraryPath, L"C:\\IBM\\java8\\bin\\client\\jvm.dll");

    setSource(settings, false, true, false);  // "only_JRE"
    EXPECT_EQ(env.search(settings).jvmLibraryPath, L"C:\\Java\\sun11\\bin\\client\\jvm.dll");
}

TEST(RegistrySearch, BoundsFilterBeforeTheHomeIsRead) {
    Environment env;
    env.install(kJreKey, L"1.6.0_45", L"C:\\j6\\", {L"client"});
    env.install(kJreKey, L"1.7.0_80", L"C:\\j7\\", {L"client"});
    env.install(kJreKey, L"1.8.0_151", L"C:\\j8\\", {L"client"});

    JreSearchSettings settings = defaults();
    settings.minimumVersion = minimumVersionFromSetting(L"1.6");
    settings.maximumVersion = maximumVersionFromSetting(L"1.7");
    EXPECT_EQ(env.search(settings).chosenVersion, v(1, 7, 0, 80));
    EXPECT_EQ(std::count(env.registry.readHomes.begin(), env.registry.readHomes.end(),
                         std::wstring(kJreKey) + L"1.8.0_151"),
              0);

    settings.maximumVersion = maximumVersionFromSetting(L"");  // 0.0.0.0: nothing passes
    EXPECT_FALSE(env.search(settings).found);
}

TEST(RegistrySearch, ExaminesInstallationsBestFirstUntilOneIsUsable) {
    Environment env;
    for (int update = 1; update <= 20; ++update) {
        const std::wstring name = L"1.8.0_" + std::to_wstring(100 + update);
        env.install(kJreKey, name, L"C:\\rt" + std::to_wstring(update) + L"\\", {L"client"});
    }
    env.registry.addInstallation(RegistryView::Default, kJreKey, L"1.8.0_200", L"C:\\gone");

    EXPECT_EQ(env.search(defaults()).chosenVersion, v(1, 8, 0, 120));
    // The broken newest one, then the best usable one; the other nineteen are never read.
    EXPECT_EQ(env.registry.readHomes,
              (std::vector<std::wstring>{std::wstring(kJreKey) + L"1.8.0_200",
                                         std::wstring(kJreKey) + L"1.8.0_120"}));

    // A server-first search ranks by the probe's result, so it examines them all.
    env.registry.readHomes.clear();
    JreSearchSettings serverFirst = defaults();
    serverFirst.jvmType = JvmType::ServerFirst;
    EXPECT_EQ(env.search(serverFirst).chosenVersion, v(1, 8, 0, 120));
    EXPECT_EQ(env.registry.readHomes.size(), 21u);
}

TEST(RegistrySearch, SkipsUnusableInstallations) {
    Environment env;
    env.registry.addInstallation(RegistryView::Default, kJreKey, L"11.0.5", std::nullopt);
    env.registry.addInstallation(RegistryView::Default, kJreKey, L"11.0.4", L"");
    env.registry.addInstallation(RegistryView::Default, kJreKey, L"11.0.3", L"C:\\gone");
    env.registry.addInstallation(RegistryView::Default, kJdkLongKey, L"17", L"C:\\jdk17");
    env.addRuntime(L"C:\\jdk17\\", {L"server"});  // a JDK home without "jre\"
    env.install(kJreKey, L"1.8.0_1", L"C:\\j8", {L"client"});

    const JreSearchResult result = env.search(defaults());
    EXPECT_EQ(result.jvmLibraryPath, L"C:\\j8\\bin\\client\\jvm.dll");
    // An empty home is never probed against the current drive's root.
    for (const auto& path : env.files.lookedUp) EXPECT_NE(path.rfind(L"\\bin", 0), 0u) << path;
}

TEST(RegistrySearch, JdkKeysUseTheirJreFolder) {
    Environment env;
    env.registry.addInstallation(RegistryView::Default, kJdkLongKey, L"1.8.0_151", L"C:\\jdk8");
    env.addRuntime(L"C:\\jdk8\\jre\\", {L"client"});
    const JreSearchResult result = env.search(defaults());
    EXPECT_EQ(result.jvmLibraryPath, L"C:\\jdk8\\jre\\bin\\client\\jvm.dll");
}

TEST(RegistrySearch, ServerFirstOnRuntimeEnvironmentKeyRanksAsClient) {
    Environment env;
    // Both have client and server libraries; the long runtime key records its candidate with
    // the server flag clear, so the other key's server candidate outranks its higher version.
    env.install(kJreLongKey, L"11.0.2", L"C:\\j11\\", {L"client", L"server"});
    env.install(kJreKey, L"1.8.0_151", L"C:\\j8\\", {L"client", L"server"});
    JreSearchSettings settings = defaults();
    settings.jvmType = JvmType::ServerFirst;
    EXPECT_EQ(env.search(settings).jvmLibraryPath, L"C:\\j8\\bin\\server\\jvm.dll");

    // Chosen alone, its final probe still takes the server library.
    Environment single;
    single.install(kJreLongKey, L"11.0.2", L"C:\\j11\\", {L"client", L"server"});
    EXPECT_EQ(single.search(settings).jvmLibraryPath, L"C:\\j11\\bin\\server\\jvm.dll");
}

TEST(RegistrySearch, ServerOnlyRejectsClientOnlyRuntimes) {
    Environment env;
    env.install(kJreKey, L"11", L"C:\\j11\\", {L"client"});
    env.addRuntime(L"C:\\app\\", {L"client"});
    JreSearchSettings settings = defaults();
    settings.jvmType = JvmType::ServerOnly;
    settings.jrePathSetting = L"C:\\j11";
    EXPECT_FALSE(env.search(settings).found);
}

TEST(RegistrySearch, Wide64ViewOnlyWithAPairAndForA32BitLauncher) {
    Environment env;
    env.install(kJreKey, L"17.0.1", L"C:\\Program Files\\Java\\jre17\\", {L"server"},
                RegistryView::Wide64);
    JreSearchSettings settings = defaults();

    EXPECT_FALSE(env.search(settings).found);
    EXPECT_FALSE(env.opened(kJreKey, RegistryView::Wide64));

    settings.pairProduct = L"app64.exe";
    JreSearchResult result = env.search(settings);
    EXPECT_TRUE(result.found);
    EXPECT_TRUE(result.relaunchViaPair);
    EXPECT_EQ(result.chosenVersion, v(17, 0, 1, 0));
    EXPECT_EQ(result.jvmLibraryPath, L"C:\\Program Files\\Java\\jre17\\bin\\server\\jvm.dll");

    env.registry.openedKeys.clear();
    EXPECT_FALSE(env.search(settings, L"C:\\app\\", k64BitLauncher).found);
    EXPECT_FALSE(env.opened(kJreKey, RegistryView::Wide64));

    // A runtime in the default view keeps the 64-bit view closed.
    env.install(kJreKey, L"1.8", L"C:\\j8\\", {L"client"});
    env.registry.openedKeys.clear();
    result = env.search(settings);
    EXPECT_FALSE(result.relaunchViaPair);
    EXPECT_EQ(result.jvmLibraryPath, L"C:\\j8\\bin\\client\\jvm.dll");
    EXPECT_FALSE(env.opened(kJreKey, RegistryView::Wide64));
}

TEST(JrePathSource, ProbedFirstWithoutVersionCheck) {
    Environment env;
    env.install(kJreKey, L"11", L"C:\\j11\\", {L"client"});
    env.addRuntime(L"C:\\app\\", {L"client"});
    env.files.addFile(L"E:\\rt\\bin\\client\\jvm.dll", kMachineI386);  // no bin\java.dll needed

    JreSearchSettings settings = defaults();
    settings.maximumVersion = maximumVersionFromSetting(L"1.1");
    for (const wchar_t* setting : {L"E:\\rt", L"E:\\rt\\"}) {
        settings.jrePathSetting = setting;
        const JreSearchResult result = env.search(settings);
        EXPECT_TRUE(result.found);
        EXPECT_EQ(result.jvmLibraryPath, L"E:\\rt\\bin\\client\\jvm.dll");
        EXPECT_EQ(result.chosenVersion, v(0, 0, 0, 0));
    }
    settings.jrePathSetting = L"E:\\missing";
    EXPECT_EQ(env.search(settings).jvmLibraryPath, L"C:\\app\\bin\\client\\jvm.dll");
}

TEST(JrePathSource, BitnessDecidesTheHandOverOrSkipsTheSetting) {
    struct Case {
        std::optional<uint16_t> machine;
        const wchar_t* pair;
        LauncherPlatform platform;
        bool found;
        bool relaunch;
    };
    const Case cases[] = {
        {kMachineAmd64, L"app64.exe", k32BitLauncher, true, true},
        // Another machine's library and nobody to hand it to: passed over like a missing one.
        {kMachineAmd64, L"", k32BitLauncher, false, false},
        {kMachineI386, L"", k64BitLauncher, false, false},
        {kMachineI386, L"", k32BitLauncher, true, false},
        {kMachineI386, L"app64.exe", k32BitLauncher, true, false},
        {std::nullopt, L"app64.exe", k32BitLauncher, true, false},  // not a readable image
        {std::nullopt, L"", k32BitLauncher, true, false},
        {kMachineAmd64, L"app32.exe", k64BitLauncher, true, false},
        {kMachineI386, L"app32.exe", k64BitLauncher, true, true},
    };
    for (const auto& c : cases) {
        Environment env;
        env.files.addFile(L"E:\\rt\\bin\\client\\jvm.dll", c.machine);
        JreSearchSettings settings = defaults();
        settings.jrePathSetting = L"E:\\rt";
        settings.pairProduct = c.pair;
        const JreSearchResult result = env.search(settings, L"C:\\app\\", c.platform);
        EXPECT_EQ(result.found, c.found) << testing::PrintToString(c.pair);
        EXPECT_EQ(result.relaunchViaPair, c.relaunch) << testing::PrintToString(c.pair);
    }
}

TEST(ModuleFolderSource, OwnFolderThenJreSubfolderThenRegistry) {
    JreSearchSettings settings = defaults();
    settings.maximumVersion = maximumVersionFromSetting(L"");  // bounds play no part here
    settings.pairProduct = L"app64.exe";

    Environment both;
    both.addRuntime(L"C:\\app\\", {L"client"}, kMachineAmd64);
    both.addRuntime(L"C:\\app\\jre\\", {L"client"});
    JreSearchResult result = both.search(settings);
    EXPECT_EQ(result.jvmLibraryPath, L"C:\\app\\bin\\client\\jvm.dll");
    EXPECT_FALSE(result.relaunchViaPair);  // no bitness check for a bundled runtime

    Environment bundled;
    bundled.addRuntime(L"C:\\app\\jre\\", {L"client"});
    bundled.install(kJreKey, L"11", L"C:\\j11\\", {L"client"});
    EXPECT_EQ(bundled.search(defaults()).jvmLibraryPath, L"C:\\app\\jre\\bin\\client\\jvm.dll");
    // A folder without separator is given one.
    EXPECT_EQ(bundled.search(defaults(), L"C:\\app").jvmLibraryPath,
              L"C:\\app\\jre\\bin\\client\\jvm.dll");

    // Libraries without "bin\java.dll" do not make a runtime folder.
    Environment noMarker;
    noMarker.files.addFile(L"C:\\app\\bin\\client\\jvm.dll");
    noMarker.install(kJreKey, L"11", L"C:\\j11\\", {L"client"});
    EXPECT_EQ(noMarker.search(defaults()).jvmLibraryPath, L"C:\\j11\\bin\\client\\jvm.dll");
}

TEST(ModuleFolderSource, NeverProbesTheCurrentDirectory) {
    for (const wchar_t* executableFolder : {L"C:\\app\\", L""}) {
        Environment env;
        env.addRuntime(L"", {L"client"});  // relative paths, as seen from the current directory
        EXPECT_FALSE(env.search(defaults(), executableFolder).found);
        for (const auto& path : env.files.lookedUp) {
            EXPECT_NE(path, L"bin\\client\\jvm.dll");
            EXPECT_NE(path, L"bin\\java.dll");
        }
    }
}

TEST(PathHelpers, TrailingBackslashAndWildcards) {
    EXPECT_EQ(withTrailingBackslash(L"C:\\jre"), L"C:\\jre\\");
    EXPECT_EQ(withTrailingBackslash(L"C:\\jre\\"), L"C:\\jre\\");
    EXPECT_EQ(withTrailingBackslash(L""), L"\\");
    EXPECT_FALSE(hasWildcard(L"C:\\Program Files\\Java\\bin\\client\\jvm.dll"));
    EXPECT_FALSE(hasWildcard(L"\\\\?\\C:\\jre\\bin\\java.dll"));
    EXPECT_TRUE(hasWildcard(L"C:\\*\\bin\\java.dll"));
    EXPECT_TRUE(hasWildcard(L"C:\\jre?\\bin\\java.dll"));
    EXPECT_TRUE(hasWildcard(L"\\\\?\\C:\\j*\\bin\\java.dll"));
}

}  // namespace
}  // namespace jre
