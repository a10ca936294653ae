// Runtimes found through JAVA_HOME, the Path and the vendors' installation folders, ranked with
// the registry's, against fakes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>

#include "jre/jre_search.h"
#include "jre/pe_image.h"
#include "jre/runtime_sources.h"
#include "tests/jre/fake_jre_environment.h"

namespace jre {
namespace {

using namespace fakes;
using Sources = std::vector<RuntimeSource>;
constexpr auto kRegistry = RuntimeSource::Registry;
constexpr auto kJavaHome = RuntimeSource::JavaHome;
constexpr auto kPath = RuntimeSource::Path;
constexpr auto kFolders = RuntimeSource::VendorFolders;

JavaVersion v(int32_t a, int32_t b, int32_t c, int32_t d) { return JavaVersion{{a, b, c, d}}; }

class FakeSourceEnvironment final : public SourceEnvironment {
  public:
    std::map<std::wstring, std::wstring> variables;
    std::map<std::wstring, std::vector<std::wstring>> folders;

    [[nodiscard]] std::optional<std::wstring> variable(std::wstring_view name) const override {
        const auto found = variables.find(std::wstring(name));
        if (found == variables.end()) return std::nullopt;
        return found->second;
    }
    [[nodiscard]] std::vector<std::wstring> subfolderNames(
        std::wstring_view folder) const override {
        const auto found = folders.find(std::wstring(folder));
        return found == folders.end() ? std::vector<std::wstring>{} : found->second;
    }
};

TEST(RuntimeSources, SettingWords) {
    const Sources all(kDefaultRuntimeSources.begin(), kDefaultRuntimeSources.end());
    const struct {
        const wchar_t* value;
        Sources expected;
    } cases[] = {
        {L"", all},
        {L"nonsense", all},
        {L"path; REGISTRY", {kPath, kRegistry}},
        {L"java_home,Folders,java_home,x", {kJavaHome, kFolders}},
        {L";;Registry;", {kRegistry}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(runtimeSourcesFromSetting(c.value), c.expected)
            << testing::PrintToString(c.value);
    }
}

TEST(RuntimeSources, PathEntries) {
    const std::vector<std::wstring> expected{L"C:\\jdk\\bin\\", L"C:\\a;b\\bin\\", L"D:\\x\\",
                                             L"\\\\srv\\share\\bin\\"};
    EXPECT_EQ(pathEntries(L" C:\\jdk\\bin\\\\ ;;\"C:\\a;b\\bin\";.;bin;%JAVA%\\bin;\\rooted;"
                          L"D:/x/;\\\\srv\\share\\bin"),
              expected);
}

TEST(RuntimeSources, Folders) {
    EXPECT_EQ(sourceFolder(L"\"C:\\Program Files\\jdk\\\""), L"C:\\Program Files\\jdk\\");
    EXPECT_EQ(sourceFolder(L"/usr/lib/jvm"), L"");  // a Unix variable passed on by Wine
    EXPECT_EQ(sourceFolder(L"C:\\"), L"C:\\");
    EXPECT_EQ(parentFolder(L"C:\\jdk\\bin\\"), L"C:\\jdk\\");
    EXPECT_EQ(parentFolder(L"C:\\"), L"");
    EXPECT_EQ(parentFolder(L"\\\\srv\\share\\bin\\"), L"\\\\srv\\share\\");
    EXPECT_EQ(parentFolder(L"\\\\srv\\share\\"), L"");
}

// Path entries often name folders long gone; each costs one look-up, a folder without java.exe
// two, the Windows folder none, and the scan ends at the first runtime.
TEST(RuntimeSources, PathLookUps) {
    FakeSourceEnvironment env;
    env.variables[L"SystemRoot"] = L"c:\\windows";
    env.variables[L"Path"] =
        L"C:\\Windows\\system32;C:\\gone\\bin;C:\\Windows;C:\\tools;C:\\jre\\bin;C:\\jdk\\bin";
    const std::map<std::wstring, FileLookup> files{
        {L"C:\\Windows\\system32\\java.exe", FileLookup::Found},  // an old installer's copy
        {L"C:\\gone\\bin\\java.exe", FileLookup::NoFolder},
        {L"C:\\gone\\bin\\javaw.exe", FileLookup::NoFolder},
        {L"C:\\jre\\bin\\javaw.exe", FileLookup::Found},
        {L"C:\\jdk\\bin\\java.exe", FileLookup::Found}};
    std::vector<std::wstring> lookedUp;
    const auto found = sourceFolders(Sources{kPath}, env, [&](const std::wstring& path) {
        lookedUp.push_back(path);
        const auto file = files.find(path);
        return file == files.end() ? FileLookup::NotFound : file->second;
    });
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].folder, L"C:\\jre\\");
    EXPECT_THAT(lookedUp, ::testing::ElementsAre(L"C:\\gone\\bin\\java.exe", L"C:\\tools\\java.exe",
                                                 L"C:\\tools\\javaw.exe", L"C:\\jre\\bin\\java.exe",
                                                 L"C:\\jre\\bin\\javaw.exe"));
}

TEST(RuntimeSources, ProgramFoldersEachOnce) {
    FakeSourceEnvironment env;  // a 32-bit process on a 64-bit system
    env.variables = {{L"ProgramW6432", L"C:\\Program Files"},
                     {L"ProgramFiles(x86)", L"C:\\Program Files (x86)"},
                     {L"ProgramFiles", L"c:\\program files (x86)\\"},
                     {L"LOCALAPPDATA", L"C:\\Users\\u\\AppData\\Local"}};
    EXPECT_EQ(programFolders(env),
              (std::vector<std::wstring>{L"C:\\Program Files\\", L"C:\\Program Files (x86)\\",
                                         L"C:\\Users\\u\\AppData\\Local\\Programs\\"}));
}

// A machine with runtimes in every source; each test lays out the ones it needs.
struct Machine {
    FakeRegistry registry;
    FakeFileSystem files;
    FakeSourceEnvironment env;
    JreSearchSettings settings;

    Machine() {
        settings.minimumVersion = minimumVersionFromSetting(L"any");
        settings.maximumVersion = maximumVersionFromSetting(L"any");
        env.variables[L"ProgramW6432"] = L"C:\\Program Files";
    }
    // A runtime of Java 9 or later as vendors ship it: "release", a server JVM, a compiler for a
    // JDK.
    void runtime(const std::wstring& folder, const char* version, bool jdk = true,
                 uint16_t machine = kMachineI386, const char* variant = "Hotspot") {
        files.addTextFile(folder + L"release", std::string("JAVA_VERSION=\"") + version +
                                                   "\"\nJVM_VARIANT=\"" + variant + "\"\n");
        files.addFile(folder + L"bin\\server\\jvm.dll", machine);
        if (jdk) files.addFile(folder + L"bin\\javac.exe");
    }
    void vendorFolder(const std::wstring& below, const std::wstring& name) {
        env.folders[L"C:\\Program Files\\" + below + L"\\"].push_back(name);
    }
    JreSearchResult search(LauncherPlatform platform = k32BitLauncher) const {
        return searchForJre(settings, L"C:\\app\\", registry, files, platform, env);
    }
};

TEST(RuntimeSources, JavaHomeOfAJdk8WithTrailingBackslashUsesItsJre) {
    Machine m;
    m.env.variables[L"JAVA_HOME"] = L"C:\\jdk8\\";
    m.files.addTextFile(L"C:\\jdk8\\release", "JAVA_VERSION=\"1.8.0_392\"\n");
    m.files.addFile(L"C:\\jdk8\\bin\\javac.exe");
    m.files.addFile(L"C:\\jdk8\\jre\\bin\\server\\jvm.dll", kMachineI386);
    const JreSearchResult result = m.search();
    EXPECT_EQ(result.jvmLibraryPath, L"C:\\jdk8\\jre\\bin\\server\\jvm.dll");
    EXPECT_EQ(result.chosenVersion, v(1, 8, 0, 392));
}

TEST(RuntimeSources, RankedAcrossSources) {
    Machine m;
    m.registry.addInstallation(RegistryView::Default, kRegistryKeys[0].path, L"11.0.2",
                               L"C:\\jdk11");
    m.runtime(L"C:\\jdk11\\", "11.0.2");
    m.env.variables[L"JAVA_HOME"] = L"C:\\jdk17";
    m.runtime(L"C:\\jdk17\\", "17.0.9");
    m.env.variables[L"Path"] = L"C:\\missing\\bin;C:\\tools\\java.exe;\"C:\\a;b\\bin\"";
    m.files.addFile(L"C:\\tools\\java.exe");  // a file, not a folder holding one
    m.files.addFile(L"C:\\a;b\\bin\\javaw.exe");
    m.runtime(L"C:\\a;b\\", "21.0.1", false);
    m.vendorFolder(L"Semeru", L"jdk-25-openj9");  // OpenJ9: not Sun, so not by default
    m.runtime(L"C:\\Program Files\\Semeru\\jdk-25-openj9\\", "25", true, kMachineI386, "Openj9");

    const struct {
        const char* name;
        void (*adjust)(JreSearchSettings&);
        const wchar_t* expectedFolder;
    } cases[] = {
        {"highest version, from the Path", [](JreSearchSettings&) {}, L"C:\\a;b\\"},
        {"within the bounds, from JAVA_HOME",
         [](JreSearchSettings& s) { s.maximumVersion = maximumVersionFromSetting(L"17"); },
         L"C:\\jdk17\\"},
        {"preferred, from the registry",
         [](JreSearchSettings& s) { s.preferredVersions = {L"11"}; }, L"C:\\jdk11\\"},
        {"JDKs only", [](JreSearchSettings& s) { s.acceptJre = s.fallBackToOtherKind = false; },
         L"C:\\jdk17\\"},
        {"sources switched off",
         [](JreSearchSettings& s) { s.runtimeSources = runtimeSourcesFromSetting(L"Registry"); },
         L"C:\\jdk11\\"},
        {"an OpenJ9 build for favor_ibm",
         [](JreSearchSettings& s) {
             s.acceptSun = s.acceptIbm = s.preferIbm = true;
             s.preferSun = false;
         },
         L"C:\\Program Files\\Semeru\\jdk-25-openj9\\"},
    };
    for (const auto& c : cases) {
        Machine copy = m;
        c.adjust(copy.settings);
        EXPECT_EQ(copy.search().jvmLibraryPath,
                  std::wstring(c.expectedFolder) + L"bin\\server\\jvm.dll")
            << c.name;
    }
}

TEST(RuntimeSources, AFolderNamedTwiceCountsOnceUnderTheFirstSource) {
    Machine m;
    // The key says 17.0.1, the folder 17.0.9: the pick's version tells which row won.
    m.registry.addInstallation(RegistryView::Default, kRegistryKeys[0].path, L"17.0.1",
                               L"C:\\jdk17");
    m.runtime(L"C:\\jdk17\\", "17.0.9");
    m.env.variables = {{L"JAVA_HOME", L" \"C:\\jdk17\" "}, {L"JDK_HOME", L"C:/jdk17/"}};
    EXPECT_EQ(m.search().chosenVersion, v(17, 0, 1, 0));
    EXPECT_EQ(sourceCandidates(m.settings, m.env, m.files).size(), 1u);

    m.settings.runtimeSources = {kJavaHome, kRegistry};
    EXPECT_EQ(m.search().chosenVersion, v(17, 0, 9, 0));
}

// Many runtimes cost a launch little: only the rows chosen are looked into, with the classic
// folders read only when a row that might repeat one of them is chosen.
TEST(RuntimeSources, OnlyTheChosenRowsAreExamined) {
    Machine m;
    m.registry.addInstallation(RegistryView::Default, kRegistryKeys[0].path, L"11.0.2",
                               L"C:\\jdk11");
    m.runtime(L"C:\\jdk11\\", "11.0.2");
    m.registry.addInstallation(RegistryView::Default, kRegistryKeys[0].path, L"17.0.1",
                               L"C:\\jdk17");
    m.runtime(L"C:\\jdk17\\", "17.0.1");
    m.env.variables[L"JAVA_HOME"] = L"C:\\jdk8";
    m.runtime(L"C:\\jdk8\\", "1.8.0_392");
    EXPECT_EQ(m.search().jvmLibraryPath, L"C:\\jdk17\\bin\\server\\jvm.dll");
    EXPECT_THAT(m.registry.readHomes,
                ::testing::ElementsAre(std::wstring(kRegistryKeys[0].path) + L"17.0.1"));
    for (const auto& path : m.files.lookedUp) EXPECT_NE(path.find(L"C:\\jdk8\\"), 0u) << path;

    // Chosen from JAVA_HOME, the folder must not be one the classic keys name already.
    m.env.variables[L"JAVA_HOME"] = L"C:\\jdk21";
    m.runtime(L"C:\\jdk21\\", "21.0.1");
    m.registry.readHomes.clear();
    EXPECT_EQ(m.search().jvmLibraryPath, L"C:\\jdk21\\bin\\server\\jvm.dll");
    EXPECT_EQ(m.registry.readHomes.size(), 2u);
}

// The launch log's account of the search: every runtime looked at, with its source and verdict.
TEST(RuntimeSources, TraceGivesEveryVerdict) {
    Machine m;
    m.settings.maximumVersion = maximumVersionFromSetting(L"17");
    m.registry.addInstallation(RegistryView::Default, kRegistryKeys[1].path, L"1.8", L"C:\\jre8");
    m.runtime(L"C:\\jre8\\", "1.8.0_391", false);
    m.env.variables[L"JAVA_HOME"] = L"C:\\jdk21";
    m.env.variables[L"Path"] = L"C:\\jre8\\bin";
    m.files.addFile(L"C:\\jre8\\bin\\java.exe");
    m.runtime(L"C:\\jdk21\\", "21.0.1");
    m.vendorFolder(L"Zulu", L"zulu-11");
    m.runtime(L"C:\\Program Files\\Zulu\\zulu-11\\", "11.0.21", true, kMachineAmd64);
    SearchTrace trace;
    EXPECT_TRUE(
        searchForJre(m.settings, L"C:\\app\\", m.registry, m.files, k32BitLauncher, m.env, &trace)
            .found);
    std::vector<std::wstring> lines;
    for (const CandidateNote& n : trace) {
        lines.push_back(n.source + L" " + n.place + L" " + n.version + L": " + n.verdict);
    }
    EXPECT_THAT(lines, testing::ElementsAre(
                           L"JAVA_HOME C:\\jdk21\\ 21.0.1.0: outside Minimum Version and "
                           L"Maximum Version",
                           L"Folders C:\\Program Files\\Zulu\\zulu-11\\ 11.0.21.0: built for "
                           L"another machine, and no Pair Product",
                           L"Path C:\\jre8\\ 1.8.0.391: the same folder as an earlier candidate",
                           L"Registry C:\\jre8\\ 1.8.0.0: taken"));
}

TEST(RuntimeSources, VendorFolderRuntimeOfTheOtherMachine) {
    Machine m;
    m.vendorFolder(L"Eclipse Adoptium", L"jdk-21.0.1.12-hotspot");
    m.runtime(L"C:\\Program Files\\Eclipse Adoptium\\jdk-21.0.1.12-hotspot\\", "21.0.1", true,
              kMachineAmd64);
    m.vendorFolder(L"Zulu", L"zulu-17");
    m.runtime(L"C:\\Program Files\\Zulu\\zulu-17\\", "17.0.9");

    EXPECT_EQ(m.search().jvmLibraryPath, L"C:\\Program Files\\Zulu\\zulu-17\\bin\\server\\jvm.dll");
    m.settings.pairProduct = L"MyApp64.exe";
    const JreSearchResult paired = m.search();
    EXPECT_TRUE(paired.relaunchViaPair);
    EXPECT_EQ(paired.chosenVersion, v(21, 0, 1, 0));
}

TEST(RuntimeSources, FolderWithoutReadableVersionIsSkipped) {
    Machine m;
    m.env.variables[L"JAVA_HOME"] = L"C:\\jdk";
    m.files.addFile(L"C:\\jdk\\bin\\server\\jvm.dll", kMachineI386);
    EXPECT_FALSE(m.search().found);
    m.files.addTextFile(L"C:\\jdk\\release", "IMPLEMENTOR=\"x\"\n");
    EXPECT_FALSE(m.search().found);
}

}  // namespace
}  // namespace jre
