#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jre/java_version.h"
#include "jre/runtime_sources.h"

namespace jre {

enum class JvmType { ClientFirst = 0, ServerOnly = 1, ServerFirst = 2 };

// Everything the search takes from the launch settings.
struct JreSearchSettings {
    JvmType jvmType = JvmType::ClientFirst;
    bool acceptJdk = true;
    bool acceptJre = true;
    bool fallBackToOtherKind = true;
    bool acceptJRockit = false;
    bool acceptSun = true;
    bool acceptIbm = false;
    bool preferJRockit = false;
    bool preferSun = true;
    bool preferIbm = false;
    JavaVersion minimumVersion;
    JavaVersion maximumVersion;
    std::vector<std::wstring> preferredVersions;  // untrimmed pieces, parsed when used
    std::wstring jrePathSetting;
    std::wstring pairProduct;
    bool modernRuntimeKeys = true;  // rank the vendors' own keys (kVendorRegistryKeys) as well
    // Where installed runtimes are looked for; the order decides between equal ranks.
    std::vector<RuntimeSource> runtimeSources{kDefaultRuntimeSources.begin(),
                                              kDefaultRuntimeSources.end()};

    // Whether the search may pick an IBM runtime. The launcher treats those apart: its Java main
    // thread blocks after main instead of detaching, and single-instance requests keep their
    // threads attached.
    [[nodiscard]] bool mayChooseIbm() const noexcept { return acceptIbm || preferIbm; }
};

struct JreSearchResult {
    bool found = false;
    std::wstring jvmLibraryPath;
    JavaVersion chosenVersion;  // set only for a runtime picked from the registry
    bool relaunchViaPair = false;
};

struct ProbeResult {
    std::wstring jvmLibraryPath;  // empty when the folder holds no library for the JVM type
    bool server = false;          // the library found lies in "bin\server\"
};

enum class JavaKind { Jdk, Jre };
enum class JavaVendor { Sun, JRockit, Ibm };
enum class RegistryRoot { LocalMachine, CurrentUser };

// One vendor key whose subkeys are named after versions. The folder of an installation is the
// value `valueName` of the key `path` + version + `belowVersion`.
struct RegistryKeySpec {
    std::wstring_view path;  // ends in a backslash
    JavaKind kind;
    JavaVendor vendor;
    bool homeHoldsJreFolder;         // JDK homes keep the runtime in "jre\"
    bool probesServerFirstAsClient;  // historic quirk of this key's installations
    RegistryRoot root = RegistryRoot::LocalMachine;
    std::wstring_view belowVersion = L"";  // starts with a backslash when not empty
    std::wstring_view valueName = L"JavaHome";
};

inline constexpr std::array<RegistryKeySpec, 7> kRegistryKeys{{
    {L"Software\\JavaSoft\\JDK\\", JavaKind::Jdk, JavaVendor::Sun, false, false},
    {L"Software\\JavaSoft\\JRE\\", JavaKind::Jre, JavaVendor::Sun, false, false},
    {L"Software\\JavaSoft\\Java Development Kit\\", JavaKind::Jdk, JavaVendor::Sun, true, false},
    {L"Software\\JavaSoft\\Java Runtime Environment\\", JavaKind::Jre, JavaVendor::Sun, false,
     true},
    {L"Software\\JRockit\\Java Runtime Environment\\", JavaKind::Jre, JavaVendor::JRockit, false,
     false},
    {L"Software\\JRockit\\Java Development Kit\\", JavaKind::Jdk, JavaVendor::JRockit, true, false},
    {L"Software\\IBM\\Java2 Runtime Environment\\", JavaKind::Jre, JavaVendor::Ibm, false, false},
}};

// Which keys a search opens, and how their installations rank.
[[nodiscard]] bool isKeySearched(const RegistryKeySpec& key, const JreSearchSettings& settings);
[[nodiscard]] bool isFavoured(const RegistryKeySpec& key, const JreSearchSettings& settings);
[[nodiscard]] bool isFavouringApplied(const JreSearchSettings& settings);

// The relative library paths tried in a runtime folder, in order.
[[nodiscard]] std::vector<std::wstring_view> jvmLibraryProbeOrder(JvmType type);

// One usable registry installation.
struct JreCandidate {
    JavaVersion version;
    std::wstring homeFolder;  // ends in a backslash
    bool server = false;
    bool favoured = false;
    bool needsPair = false;         // its library is built for the paired launcher's machine
    std::wstring jvmLibraryPath{};  // the library its probe found
    std::size_t entry = 0;          // the search's own note of the registry entry it came from
    // Found under kVendorRegistryKeys or by a folder source: examined already, its machine is
    // checked when it is chosen.
    bool examinedEarly = false;
    // Found by a folder source and ranked by its "release" file alone: its library is probed
    // once it is chosen, so that many runtimes cost a launch little.
    bool probeWhenChosen = false;
    RuntimeSource source = RuntimeSource::Registry;
};

// What the search thought of one installed runtime, for the launch log.
struct CandidateNote {
    std::wstring source;   // "Registry", "JAVA_HOME", ..., "JRE Path", "beside the executable"
    std::wstring place;    // the runtime folder, or the registry key when its folder is unknown
    std::wstring version;  // empty when unknown
    std::wstring verdict;  // "taken", or why it was passed over
};
using SearchTrace = std::vector<CandidateNote>;

[[nodiscard]] std::wstring versionText(const JavaVersion& version);

// Stable descending order by (favoured, when favouring is applied), (server flag, for the
// server-first type), then version; equal keys keep their registry order.
void rankCandidates(std::vector<JreCandidate>& candidates, const JreSearchSettings& settings);

// The index of the ranked candidate to use: the first one matching the first preferred version
// that matches any, else 0. The list must not be empty.
[[nodiscard]] size_t selectCandidate(const std::vector<JreCandidate>& ranked,
                                     const std::vector<std::wstring>& preferredVersions);

[[nodiscard]] std::wstring withTrailingBackslash(std::wstring_view folder);

// "*" and "?" would make a file search match other names than the one meant. The long-path
// prefix's "?" does not count.
[[nodiscard]] bool hasWildcard(std::wstring_view path) noexcept;

// The file system as the search sees it.
class FileSystemView {
  public:
    virtual ~FileSystemView() = default;
    // True when a file (not a folder) of exactly this name exists.
    [[nodiscard]] virtual bool fileExists(std::wstring_view path) const = 0;
    // The same question, telling a missing folder apart where the view can.
    [[nodiscard]] virtual FileLookup lookUpFile(std::wstring_view path) const {
        return fileExists(path) ? FileLookup::Found : FileLookup::NotFound;
    }
    // The machine a library image is built for; nullopt when it cannot be read as an image.
    [[nodiscard]] virtual std::optional<uint16_t> imageMachine(std::wstring_view path) const = 0;
    // At most the first `maxBytes` bytes of a file; nullopt when it cannot be opened or read.
    [[nodiscard]] virtual std::optional<std::string> readFileStart(std::wstring_view path,
                                                                   size_t maxBytes) const = 0;
};

// The registry view of this process, and the 64-bit view a 32-bit process can also read.
enum class RegistryView { Default, Wide64 };

// Read access to the vendors' keys.
class RegistryReader {
  public:
    virtual ~RegistryReader() = default;
    // The subkey names of `keyPath`, in enumeration order; nullopt when the key cannot be opened.
    [[nodiscard]] virtual std::optional<std::vector<std::wstring>> subkeyNames(
        RegistryRoot root, std::wstring_view keyPath, RegistryView view) const = 0;
    // The value `valueName` of `keyPath` + `subkey` as text, up to its first NUL; nullopt when
    // it is absent, empty or unreadable. `subkey` may hold several levels.
    [[nodiscard]] virtual std::optional<std::wstring> textValue(RegistryRoot root,
                                                                std::wstring_view keyPath,
                                                                std::wstring_view subkey,
                                                                std::wstring_view valueName,
                                                                RegistryView view) const = 0;
};

// What the search needs to know about the launcher it runs in.
struct LauncherPlatform {
    uint16_t machine;    // the PE machine the launcher is built for
    bool canReadWide64;  // a 32-bit launcher: the 64-bit registry view is a different one
};

[[nodiscard]] bool isJreFolder(std::wstring_view folder, const FileSystemView& files);
[[nodiscard]] ProbeResult probeJvmLibrary(std::wstring_view folder, JvmType type,
                                          const FileSystemView& files);

struct RegistryChoice {
    std::wstring homeFolder;
    JavaVersion version;
    bool needsPair = false;
};
// One pass over one view: the installations under the keys of kRegistryKeys and (unless
// switched off) of kVendorRegistryKeys, within the bounds, and `sourceRows` (runtimes the
// other sources found, examined), ranked together in the order of the settings' sources, one
// selected. A folder that several keys or sources name counts once, under the first.
[[nodiscard]] std::optional<RegistryChoice> searchRegistry(
    const JreSearchSettings& settings, RegistryView view, const RegistryReader& registry,
    const FileSystemView& files, const LauncherPlatform& platform,
    std::vector<JreCandidate> sourceRows, SearchTrace* trace = nullptr);

// The runtimes the non-registry sources of the settings name, each folder once, examined:
// within the bounds, of a kind and vendor class the settings search, with a JVM library.
[[nodiscard]] std::vector<JreCandidate> sourceCandidates(const JreSearchSettings& settings,
                                                         const SourceEnvironment& environment,
                                                         const FileSystemView& files,
                                                         SearchTrace* trace = nullptr);

// The whole search: "JRE Path", then the launcher's own folder or its "jre\" subfolder, then the
// installed runtimes: the registry's default view ranked with the other sources' runtimes and,
// for a 32-bit launcher with a pair, the 64-bit view after it. `executableFolder` is the
// executable's folder; empty when it is not known.
[[nodiscard]] JreSearchResult searchForJre(
    const JreSearchSettings& settings, std::wstring_view executableFolder,
    const RegistryReader& registry, const FileSystemView& files, const LauncherPlatform& platform,
    const SourceEnvironment& environment, SearchTrace* trace = nullptr);
// The same with no environment variables and no vendor folders: the registry alone.
[[nodiscard]] JreSearchResult searchForJre(const JreSearchSettings& settings,
                                           std::wstring_view executableFolder,
                                           const RegistryReader& registry,
                                           const FileSystemView& files,
                                           const LauncherPlatform& platform);

}  // namespace jre
