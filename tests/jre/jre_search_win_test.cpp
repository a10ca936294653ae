#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/path.h"
#include "jre/jre_search_win.h"
#include "jre/pe_image.h"

namespace jre {
namespace {

#ifdef _WIN64
constexpr uint16_t kOwnMachine = kMachineAmd64;
constexpr uint16_t kForeignMachine = kMachineI386;
constexpr REGSAM kOtherView = KEY_WOW64_32KEY;
#else
constexpr uint16_t kOwnMachine = kMachineI386;
constexpr uint16_t kForeignMachine = kMachineAmd64;
constexpr REGSAM kOtherView = KEY_WOW64_64KEY;
#endif

std::wstring tinyLibrary(uint16_t machine) {
    const std::wstring folder = base::folderPrefixOf(base::executablePath().value_or(L""));
    return folder + (machine == kMachineI386 ? L"tiny_i386.dll" : L"tiny_x86_64.dll");
}

void writeFile(const std::wstring& path, const std::string& content) {
    base::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(file) << GetLastError();
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), content.data(), static_cast<DWORD>(content.size()), &written,
                          nullptr));
}

void removeTree(const std::wstring& folder) {
    WIN32_FIND_DATAW data;
    base::UniqueFindHandle find(FindFirstFileW((folder + L"*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                removeTree(folder + name + L"\\");
            } else {
                DeleteFileW((folder + name).c_str());
            }
        } while (FindNextFileW(find.get(), &data));
    }
    RemoveDirectoryW(folder.c_str());
}

// A scratch folder for runtime layouts and a private registry subtree, both removed afterwards.
class JreSearchWin : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        ASSERT_NE(GetTempPathW(MAX_PATH, temp), 0u);
        const std::wstring id = std::to_wstring(GetCurrentProcessId());
        root_ = std::wstring(temp) + L"jre-search-" + id + L"\\";
        ASSERT_TRUE(CreateDirectoryW(root_.c_str(), nullptr)) << GetLastError();
        registryPrefix_ = L"Software\\JreSearchTest-" + id + L"\\";
    }
    void TearDown() override {
        removeTree(root_);
        for (const REGSAM view : {REGSAM{0}, kOtherView}) {
            const std::wstring top = registryPrefix_.substr(0, registryPrefix_.size() - 1);
            base::UniqueRegKey key;
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, top.c_str(), 0, KEY_ALL_ACCESS | view,
                              key.put()) == ERROR_SUCCESS) {
                RegDeleteTreeW(key.get(), nullptr);
                key.reset();
                RegDeleteKeyExW(HKEY_LOCAL_MACHINE, top.c_str(), view, 0);
            }
        }
        RegDeleteTreeW(HKEY_CURRENT_USER, registryPrefix_.c_str());
    }

    // Creates the folders of a relative path under the scratch folder; returns the full path.
    std::wstring makeFolders(const std::wstring& relative) {
        std::wstring path = root_;
        size_t start = 0;
        while (start < relative.size()) {
            const size_t end = relative.find(L'\\', start);
            path += relative.substr(start, end - start) + L"\\";
            CreateDirectoryW(path.c_str(), nullptr);
            if (end == std::wstring::npos) break;
            start = end + 1;
        }
        return path;
    }
    // A runtime folder: "bin\java.dll" unless left out, and tiny libraries for the JVM folders.
    std::wstring makeRuntime(const std::wstring& relative,
                             std::initializer_list<const wchar_t*> jvmFolders,
                             uint16_t machine = kOwnMachine, bool withMarker = true) {
        const std::wstring home = makeFolders(relative);
        makeFolders(relative + L"\\bin");
        if (withMarker) writeFile(home + L"bin\\java.dll", "");
        for (const wchar_t* folder : jvmFolders) {
            makeFolders(relative + L"\\bin\\" + folder);
            EXPECT_TRUE(CopyFileW(tinyLibrary(machine).c_str(),
                                  (home + L"bin\\" + folder + L"\\jvm.dll").c_str(), FALSE))
                << GetLastError();
        }
        return home;
    }

    void writeHome(std::wstring_view keyPath, const std::wstring& version, REGSAM view, DWORD type,
                   const std::wstring& data, size_t bytes) {
        base::UniqueRegKey key;
        const std::wstring path = registryPrefix_ + std::wstring(keyPath) + version;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE | view,
                                  nullptr, key.put(), nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(
            RegSetValueExW(key.get(), L"JavaHome", 0, type,
                           reinterpret_cast<const BYTE*>(data.c_str()), static_cast<DWORD>(bytes)),
            ERROR_SUCCESS);
    }
    void install(std::wstring_view keyPath, const std::wstring& version, const std::wstring& home,
                 REGSAM view = 0) {
        writeHome(keyPath, version, view, REG_SZ, home, (home.size() + 1) * sizeof(wchar_t));
    }

    JreSearchResult search(const JreSearchSettings& settings, std::wstring_view executableFolder,
                           const RegistryReader& registry) const {
        return searchForJre(settings, executableFolder, registry, WindowsFileSystem(),
                            thisLauncherPlatform());
    }

    std::wstring root_;
    std::wstring registryPrefix_;
};

JreSearchSettings openBounds() {
    JreSearchSettings settings;
    settings.minimumVersion = minimumVersionFromSetting(L"any");
    settings.maximumVersion = maximumVersionFromSetting(L"any");
    return settings;
}

const std::wstring_view kJreKey = kRegistryKeys[1].path;

std::optional<std::wstring> javaHome(const RegistryReader& registry, std::wstring_view version) {
    return registry.textValue(RegistryRoot::LocalMachine, kJreKey, version, L"JavaHome",
                              RegistryView::Default);
}

TEST_F(JreSearchWin, ReadsTheMachineOfRealImages) {
    const WindowsFileSystem files;
    EXPECT_EQ(files.imageMachine(tinyLibrary(kMachineI386)), kMachineI386);
    EXPECT_EQ(files.imageMachine(tinyLibrary(kMachineAmd64)), kMachineAmd64);
    writeFile(root_ + L"empty.dll", "");
    writeFile(root_ + L"text.dll", std::string(300, 'x'));
    writeFile(root_ + L"mz.dll", "MZ");
    // A header past the first page is found all the same.
    std::string farHeader(0x3000, '\0');
    farHeader[0] = 'M';
    farHeader[1] = 'Z';
    farHeader[0x3D] = 0x20;  // the new header at 0x2000
    farHeader.replace(0x2000, 6, std::string("PE\0\0\x64\x86", 6));
    writeFile(root_ + L"far.dll", farHeader);
    EXPECT_EQ(files.imageMachine(root_ + L"far.dll"), kMachineAmd64);
    EXPECT_EQ(files.imageMachine(root_ + L"empty.dll"), std::nullopt);
    EXPECT_EQ(files.imageMachine(root_ + L"text.dll"), std::nullopt);
    EXPECT_EQ(files.imageMachine(root_ + L"mz.dll"), std::nullopt);
    EXPECT_EQ(files.imageMachine(root_ + L"missing.dll"), std::nullopt);

    EXPECT_TRUE(needsPairForLibrary(tinyLibrary(kForeignMachine), L"pair.exe"));
    EXPECT_FALSE(needsPairForLibrary(tinyLibrary(kOwnMachine), L"pair.exe"));
    EXPECT_FALSE(needsPairForLibrary(tinyLibrary(kForeignMachine), L""));
    EXPECT_FALSE(needsPairForLibrary(root_ + L"text.dll", L"pair.exe"));
}

TEST_F(JreSearchWin, FileExistsMeansExactlyThatFile) {
    const std::wstring home = makeRuntime(L"rt", {L"client"});
    const WindowsFileSystem files;
    EXPECT_TRUE(files.fileExists(home + L"bin\\client\\jvm.dll"));
    EXPECT_FALSE(files.fileExists(home + L"bin\\client"));       // a folder
    EXPECT_FALSE(files.fileExists(home + L"bin\\c*\\jvm.dll"));  // no pattern matching
    EXPECT_FALSE(files.fileExists(home + L"bin\\client\\jvm.dl?"));
    EXPECT_FALSE(files.fileExists(home + L"bin\\server\\jvm.dll"));
    EXPECT_FALSE(files.fileExists(L""));
    EXPECT_TRUE(isJreFolder(home));
    EXPECT_FALSE(isJreFolder(home + L"bin\\"));

    // A runtime folder deeper than MAX_PATH is still found.
    std::wstring deep = L"\\\\?\\" + root_;
    for (int i = 0; i < 6; ++i) {
        deep += std::wstring(50, static_cast<wchar_t>(L'a' + i)) + L"\\";
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << GetLastError();
    }
    ASSERT_TRUE(CopyFileW(tinyLibrary(kOwnMachine).c_str(), (deep + L"jvm.dll").c_str(), FALSE));
    const std::wstring unprefixed = deep.substr(4) + L"jvm.dll";
    ASSERT_GE(unprefixed.size(), MAX_PATH);
    EXPECT_TRUE(files.fileExists(unprefixed));
    EXPECT_EQ(files.imageMachine(unprefixed), kOwnMachine);
}

TEST_F(JreSearchWin, RegistryViewsAreKeptApart) {
    const std::wstring own = makeRuntime(L"own", {L"client"});
    const std::wstring foreign = makeRuntime(L"foreign", {L"server"}, kForeignMachine);
    install(kJreKey, L"1.8.0_151", own);
    install(kJreKey, L"17.0.1", foreign, kOtherView);
    const WindowsRegistry registry(registryPrefix_);

    EXPECT_EQ(registry.subkeyNames(RegistryRoot::LocalMachine, kJreKey, RegistryView::Default),
              std::vector<std::wstring>{L"1.8.0_151"});
#ifndef _WIN64
    EXPECT_EQ(registry.subkeyNames(RegistryRoot::LocalMachine, kJreKey, RegistryView::Wide64),
              std::vector<std::wstring>{L"17.0.1"});
#endif

    JreSearchSettings settings = openBounds();
    settings.pairProduct = L"pair.exe";
    JreSearchResult result = search(settings, L"", registry);
    EXPECT_EQ(result.jvmLibraryPath, own + L"bin\\client\\jvm.dll");
    EXPECT_FALSE(result.relaunchViaPair);

    // Only the other view holds a runtime within the bounds.
    settings.minimumVersion = minimumVersionFromSetting(L"9");
    result = search(settings, L"", registry);
#ifdef _WIN64
    EXPECT_FALSE(result.found);  // the 64-bit launcher has no second view to look at
#else
    EXPECT_TRUE(result.found);
    EXPECT_TRUE(result.relaunchViaPair);
    EXPECT_EQ(result.jvmLibraryPath, foreign + L"bin\\server\\jvm.dll");
    EXPECT_EQ(formatVersion(result.chosenVersion), L"17.0.1");
#endif
    settings.pairProduct.clear();
    EXPECT_FALSE(search(settings, L"", registry).found);
}

TEST_F(JreSearchWin, JavaHomeIsTakenAsTextWhateverItsType) {
    const std::wstring home = makeRuntime(L"typed", {L"client"});
    const std::wstring noSlash = home.substr(0, home.size() - 1);
    writeHome(kJreKey, L"1", 0, REG_SZ, L"", sizeof(wchar_t));
    writeHome(kJreKey, L"2", 0, REG_EXPAND_SZ, L"%SystemRoot%", 13 * sizeof(wchar_t));
    writeHome(kJreKey, L"3", 0, REG_BINARY, noSlash, noSlash.size() * sizeof(wchar_t));
    std::wstring withNul = noSlash + L'\0' + L"garbage";
    writeHome(kJreKey, L"4", 0, REG_MULTI_SZ, withNul, (withNul.size() + 2) * sizeof(wchar_t));
    writeHome(kJreKey, L"5", 0, REG_SZ, L"x", 3);  // odd byte count

    const WindowsRegistry registry(registryPrefix_);
    EXPECT_EQ(javaHome(registry, L"1"), std::nullopt);
    EXPECT_EQ(javaHome(registry, L"2"), L"%SystemRoot%");
    EXPECT_EQ(javaHome(registry, L"3"), noSlash);
    EXPECT_EQ(javaHome(registry, L"4"), noSlash);
    EXPECT_EQ(javaHome(registry, L"5"), L"x");
    EXPECT_EQ(javaHome(registry, L"6"), std::nullopt);

    const JreSearchResult result = search(openBounds(), L"", registry);
    EXPECT_EQ(result.jvmLibraryPath, home + L"bin\\client\\jvm.dll");
    EXPECT_EQ(formatVersion(result.chosenVersion), L"4.0");
}

TEST_F(JreSearchWin, JrePathIsCheckedForItsMachine) {
    const std::wstring foreign = makeRuntime(L"picked", {L"client"}, kForeignMachine, false);
    JreSearchSettings settings = openBounds();
    settings.jrePathSetting = foreign.substr(0, foreign.size() - 1);
    settings.pairProduct = L"pair.exe";
    JreSearchResult result = findJre(settings, L"");
    EXPECT_EQ(result.jvmLibraryPath, foreign + L"bin\\client\\jvm.dll");
    EXPECT_TRUE(result.relaunchViaPair);

    const std::wstring own = makeRuntime(L"own", {L"client"});
    settings.jrePathSetting = own;
    result = findJre(settings, L"");
    EXPECT_EQ(result.jvmLibraryPath, own + L"bin\\client\\jvm.dll");
    EXPECT_FALSE(result.relaunchViaPair);
}

void setTextValue(HKEY root, const std::wstring& keyPath, const wchar_t* name,
                  const std::wstring& text) {
    base::UniqueRegKey key;
    ASSERT_EQ(RegCreateKeyExW(root, keyPath.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(),
                              nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(
        RegSetValueExW(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
        ERROR_SUCCESS);
}

TEST_F(JreSearchWin, ReadsUserKeysNamedValuesAndTheStartOfFiles) {
    const std::wstring folder = makeRuntime(L"zulu-17", {L"server"});
    const std::wstring keyPath = registryPrefix_ + L"SOFTWARE\\Azul Systems\\Zulu\\zulu-17";
    ASSERT_NO_FATAL_FAILURE(setTextValue(HKEY_CURRENT_USER, keyPath, L"InstallationPath", folder));
    const WindowsRegistry registry(registryPrefix_);
    const std::wstring_view zulu = L"SOFTWARE\\Azul Systems\\Zulu\\";
    EXPECT_EQ(registry.subkeyNames(RegistryRoot::CurrentUser, zulu, RegistryView::Default),
              std::vector<std::wstring>{L"zulu-17"});
    EXPECT_EQ(registry.subkeyNames(RegistryRoot::LocalMachine, zulu, RegistryView::Default),
              std::nullopt);
    EXPECT_EQ(registry.textValue(RegistryRoot::CurrentUser, zulu, L"zulu-17", L"InstallationPath",
                                 RegistryView::Default),
              folder);

    writeFile(folder + L"release", "JAVA_VERSION=\"17.0.9\"\n");
    const WindowsFileSystem files;
    EXPECT_EQ(files.readFileStart(folder + L"release", 12), "JAVA_VERSION");
    EXPECT_EQ(files.readFileStart(folder + L"release", 4096), "JAVA_VERSION=\"17.0.9\"\n");
    EXPECT_EQ(files.readFileStart(folder + L"missing", 4096), std::nullopt);
    EXPECT_EQ(files.readFileStart(folder + L"bin", 4096), std::nullopt);  // a folder
    // A pipe that never writes: reading it would wait for ever.
    const std::wstring pipeName =
        L"\\\\.\\pipe\\jre-search-" + std::to_wstring(GetCurrentProcessId());
    const base::UniqueFileHandle pipe(CreateNamedPipeW(pipeName.c_str(), PIPE_ACCESS_DUPLEX,
                                                       PIPE_TYPE_BYTE, 1, 0, 0, 0, nullptr));
    ASSERT_TRUE(pipe) << GetLastError();
    EXPECT_EQ(files.readFileStart(pipeName, 16), std::nullopt);

    const JreSearchResult result = search(openBounds(), L"", registry);
    EXPECT_EQ(result.jvmLibraryPath, folder + L"bin\\server\\jvm.dll");
    EXPECT_EQ(formatVersion(result.chosenVersion), L"17.0.9");
}

bool keyExists(const std::wstring& path) {
    base::UniqueRegKey key;
    return RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

// The real vendor key, with a version no installation has, so other entries never interfere.
TEST_F(JreSearchWin, FindsARuntimeUnderTheRealVendorKey) {
    const std::wstring home = makeRuntime(L"real", {L"client"});
    const std::wstring vendorKey = L"Software\\JavaSoft";
    const std::wstring jreKey = vendorKey + L"\\JRE";
    const std::wstring keyPath = jreKey + L"\\1.8.0_7391";
    const bool vendorKeyExisted = keyExists(vendorKey);
    const bool jreKeyExisted = keyExists(jreKey);
    ASSERT_NO_FATAL_FAILURE(setTextValue(HKEY_LOCAL_MACHINE, keyPath, L"JavaHome", home));
    JreSearchSettings settings;
    settings.minimumVersion = minimumVersionFromSetting(L"1.8.0.7391");
    settings.maximumVersion = maximumVersionFromSetting(L"1.8.0.7391");
    const JreSearchResult result = findJre(settings, L"");
    // Keys this test created go again; a key that holds anything else is never deleted.
    RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, 0);
    if (!jreKeyExisted) RegDeleteKeyExW(HKEY_LOCAL_MACHINE, jreKey.c_str(), 0, 0);
    if (!vendorKeyExisted) RegDeleteKeyExW(HKEY_LOCAL_MACHINE, vendorKey.c_str(), 0, 0);
    EXPECT_TRUE(result.found);
    EXPECT_EQ(result.jvmLibraryPath, home + L"bin\\client\\jvm.dll");
    EXPECT_EQ(formatVersion(result.chosenVersion), L"1.8.0.7391");
}

}  // namespace
}  // namespace jre
