#include "jre/jre_search.h"

#include <algorithm>

#include "base/path.h"
#include "base/text.h"
#include "jre/pe_image.h"
#include "jre/vendor_registry_keys.h"
#include "jre/vendor_version.h"

namespace jre {

namespace {

constexpr std::wstring_view kServerLibrary = L"bin\\server\\jvm.dll";
constexpr std::wstring_view kClientLibrary = L"bin\\client\\jvm.dll";
constexpr std::wstring_view kClassicLibrary = L"bin\\classic\\jvm.dll";
constexpr std::wstring_view kHotspotLibrary = L"bin\\hotspot\\jvm.dll";
constexpr std::wstring_view kJrockitLibrary = L"bin\\jrockit\\jvm.dll";

bool isVendorAccepted(JavaVendor vendor, const JreSearchSettings& settings) {
    switch (vendor) {
        case JavaVendor::Sun:
            return settings.acceptSun || settings.preferSun;
        case JavaVendor::JRockit:
            return settings.acceptJRockit || settings.preferJRockit;
        case JavaVendor::Ibm:
            return settings.mayChooseIbm();
    }
    return false;
}

bool isVendorPreferred(JavaVendor vendor, const JreSearchSettings& settings) {
    switch (vendor) {
        case JavaVendor::Sun:
            return settings.preferSun;
        case JavaVendor::JRockit:
            return settings.preferJRockit;
        case JavaVendor::Ibm:
            return settings.preferIbm;
    }
    return false;
}

bool isKindAccepted(JavaKind kind, const JreSearchSettings& settings) {
    return kind == JavaKind::Jdk ? settings.acceptJdk : settings.acceptJre;
}

// Positive when a ranks above b.
int rankOrder(const JreCandidate& a, const JreCandidate& b, bool byFavour, bool byServer) {
    if (byFavour && a.favoured != b.favoured) return a.favoured ? 1 : -1;
    if (byServer && a.server != b.server) return a.server ? 1 : -1;
    return compareVersions(a.version, b.version);
}

// Ranks the candidates and selects one. `isUsable` may turn the selected one down; the
// selection is then made again among the rest, as if it had never been a candidate. So a check
// that costs file reads is made for the few candidates selected, not for every one.
template <typename IsUsable>
std::optional<RegistryChoice> chooseCandidate(std::vector<JreCandidate> candidates,
                                              const JreSearchSettings& settings,
                                              IsUsable isUsable) {
    rankCandidates(candidates, settings);
    while (!candidates.empty()) {
        const size_t index = selectCandidate(candidates, settings.preferredVersions);
        JreCandidate& chosen = candidates[index];
        if (isUsable(chosen)) {
            return RegistryChoice{std::move(chosen.homeFolder), chosen.version, chosen.needsPair};
        }
        candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(index));
    }
    return std::nullopt;
}

// Folder names are compared as Windows compares them, ignoring case.
bool isKnownFolder(const std::vector<JreCandidate>& candidates, std::wstring_view folder) {
    return std::any_of(candidates.begin(), candidates.end(), [&](const JreCandidate& known) {
        return base::equalsIgnoringCase(known.homeFolder, folder);
    });
}

bool isBefore9(const JavaVersion& version) {
    return compareVersions(version, JavaVersion{{9, 0, 0, 0}}) < 0;
}

// One installation under a vendor's own key, or nullopt when it does not fit. Its version comes
// from the key name, else from the runtime's "release" file; its runtime folder is the value as
// read, except that a Java 8 JDK keeps its runtime in "jre\".
std::optional<JreCandidate> vendorCandidate(const RegistryKeySpec& key, const std::wstring& subkey,
                                            RegistryView view, const JreSearchSettings& settings,
                                            const RegistryReader& registry,
                                            const FileSystemView& files) {
    const auto withinBounds = [&](const JavaVersion& version) {
        return isWithinBounds(version, settings.minimumVersion, settings.maximumVersion);
    };
    std::optional<JavaVersion> version = versionFromKeyName(subkey);
    if (version && !withinBounds(*version)) return std::nullopt;
    const auto home = registry.textValue(
        key.root, key.path, subkey + std::wstring(key.belowVersion), key.valueName, view);
    if (!home || home->empty()) return std::nullopt;
    const std::wstring folder = withTrailingBackslash(*home);
    if (!version) {
        const auto release = files.readFileStart(folder + L"release", kReleaseFileLimit);
        if (release) version = versionFromReleaseText(*release);
        if (!version || !withinBounds(*version)) return std::nullopt;
    }

    std::wstring runtime = folder;
    ProbeResult probe;
    if (key.kind == JavaKind::Jdk && isBefore9(*version)) {
        probe = probeJvmLibrary(folder + L"jre\\", settings.jvmType, files);
        if (!probe.jvmLibraryPath.empty()) runtime += L"jre\\";
    }
    if (probe.jvmLibraryPath.empty()) probe = probeJvmLibrary(runtime, settings.jvmType, files);
    if (probe.jvmLibraryPath.empty()) return std::nullopt;
    JreCandidate candidate{*version, std::move(runtime), probe.server};
    candidate.jvmLibraryPath = std::move(probe.jvmLibraryPath);
    candidate.fromVendorKey = true;
    return candidate;
}

// The installations under the vendors' own keys in one view, each folder once, under the first
// key naming it. Their versions may come from the folders, so they are examined at once.
std::vector<JreCandidate> vendorCandidates(const JreSearchSettings& settings, RegistryView view,
                                           const RegistryReader& registry,
                                           const FileSystemView& files) {
    std::vector<JreCandidate> candidates;
    for (const RegistryKeySpec& key : kVendorRegistryKeys) {
        // The user's software keys are one and the same in both views: read them once.
        if (key.root == RegistryRoot::CurrentUser && view == RegistryView::Wide64) continue;
        if (!isKeySearched(key, settings)) continue;
        const auto subkeys = registry.subkeyNames(key.root, key.path, view);
        if (!subkeys) continue;
        for (const std::wstring& subkey : *subkeys) {
            auto candidate = vendorCandidate(key, subkey, view, settings, registry, files);
            if (!candidate || isKnownFolder(candidates, candidate->homeFolder)) continue;
            candidate->favoured = isFavoured(key, settings);
            candidates.push_back(std::move(*candidate));
        }
    }
    return candidates;
}

}  // namespace

bool isKeySearched(const RegistryKeySpec& key, const JreSearchSettings& settings) {
    const bool kindSearched = isKindAccepted(key.kind, settings) || settings.fallBackToOtherKind;
    return kindSearched && isVendorAccepted(key.vendor, settings);
}

bool isFavoured(const RegistryKeySpec& key, const JreSearchSettings& settings) {
    return isKindAccepted(key.kind, settings) && isVendorPreferred(key.vendor, settings);
}

bool isFavouringApplied(const JreSearchSettings& settings) { return settings.fallBackToOtherKind; }

std::vector<std::wstring_view> jvmLibraryProbeOrder(JvmType type) {
    switch (type) {
        case JvmType::ServerOnly:
            return {kServerLibrary};
        case JvmType::ServerFirst:
            // The second server entry only repeats a look-up that has already failed.
            return {kServerLibrary,  kClientLibrary, kClassicLibrary,
                    kHotspotLibrary, kServerLibrary, kJrockitLibrary};
        case JvmType::ClientFirst:
            break;
    }
    return {kClientLibrary, kClassicLibrary, kHotspotLibrary, kServerLibrary, kJrockitLibrary};
}

void rankCandidates(std::vector<JreCandidate>& candidates, const JreSearchSettings& settings) {
    const bool byFavour = isFavouringApplied(settings);
    const bool byServer = settings.jvmType == JvmType::ServerFirst;
    std::stable_sort(candidates.begin(), candidates.end(),
                     [&](const JreCandidate& a, const JreCandidate& b) {
                         return rankOrder(a, b, byFavour, byServer) > 0;
                     });
}

size_t selectCandidate(const std::vector<JreCandidate>& ranked,
                       const std::vector<std::wstring>& preferredVersions) {
    for (const auto& piece : preferredVersions) {
        JavaVersion preferred;
        parseVersion(piece, 0, preferred);
        for (size_t i = 0; i < ranked.size(); ++i) {
            if (matchesPreferredVersion(preferred, ranked[i].version)) return i;
        }
    }
    return 0;
}

std::wstring withTrailingBackslash(std::wstring_view folder) {
    std::wstring result(folder);
    if (result.empty() || result.back() != L'\\') result += L'\\';
    return result;
}

bool hasWildcard(std::wstring_view path) noexcept {
    if (base::hasLongPathPrefix(path)) path.remove_prefix(base::kLongPathPrefix.size());
    return path.find_first_of(L"*?") != std::wstring_view::npos;
}

bool isJreFolder(std::wstring_view folder, const FileSystemView& files) {
    return files.fileExists(std::wstring(folder) + L"bin\\java.dll");
}

ProbeResult probeJvmLibrary(std::wstring_view folder, JvmType type, const FileSystemView& files) {
    for (const std::wstring_view relative : jvmLibraryProbeOrder(type)) {
        std::wstring path(folder);
        path += relative;
        if (files.fileExists(path)) return {std::move(path), relative == kServerLibrary};
    }
    return {};
}

std::optional<RegistryChoice> searchRegistry(const JreSearchSettings& settings, RegistryView view,
                                             const RegistryReader& registry,
                                             const FileSystemView& files,
                                             const LauncherPlatform& platform) {
    // Where a classic candidate's home is read from; its home folder and server flag are known
    // only once it has been examined.
    struct Entry {
        const RegistryKeySpec* key;
        std::wstring subkey;
        JvmType probeType;
    };
    std::vector<Entry> entries;
    std::vector<JreCandidate> candidates;
    for (const RegistryKeySpec& key : kRegistryKeys) {
        if (!isKeySearched(key, settings)) continue;
        const auto subkeys = registry.subkeyNames(key.root, key.path, view);
        if (!subkeys) continue;
        const bool favoured = isFavoured(key, settings);
        const JvmType probeType =
            key.probesServerFirstAsClient && settings.jvmType == JvmType::ServerFirst
                ? JvmType::ClientFirst
                : settings.jvmType;
        for (const std::wstring& subkey : *subkeys) {
            JavaVersion version;
            parseVersion(subkey, 0, version);
            if (!isWithinBounds(version, settings.minimumVersion, settings.maximumVersion)) {
                continue;
            }
            JreCandidate candidate{version, {}, false, favoured};
            candidate.entry = entries.size();
            candidates.push_back(std::move(candidate));
            entries.push_back({&key, subkey, probeType});
        }
    }

    // Reading a home and probing its folder costs registry and file-system calls for each
    // installation, so classic candidates are examined lazily: ranked first and examined best
    // first, only until one is usable. An examined one has its folder; none is empty.
    const auto examine = [&](JreCandidate& candidate) {
        const Entry& entry = entries[candidate.entry];
        const auto home = registry.textValue(entry.key->root, entry.key->path, entry.subkey,
                                             entry.key->valueName, view);
        if (!home || home->empty()) return false;
        std::wstring folder = withTrailingBackslash(*home);
        if (entry.key->homeHoldsJreFolder) folder += L"jre\\";
        const ProbeResult probe = probeJvmLibrary(folder, entry.probeType, files);
        if (probe.jvmLibraryPath.empty()) return false;
        candidate.homeFolder = std::move(folder);
        candidate.server = probe.server;
        return true;
    };

    std::vector<JreCandidate> vendorRows;
    if (settings.modernRuntimeKeys) vendorRows = vendorCandidates(settings, view, registry, files);
    // The probe's server flag takes part in the ranking, and a vendor's installation that names
    // a classic one's folder must be recognised: both need every classic folder known.
    if (settings.jvmType == JvmType::ServerFirst || !vendorRows.empty()) {
        std::erase_if(candidates, [&](JreCandidate& candidate) { return !examine(candidate); });
    }
    // One table: after the classic rows, so that equal ranks keep the classic pick, and without
    // the installations the classic keys already name (installers may write both).
    for (JreCandidate& vendorRow : vendorRows) {
        if (isKnownFolder(candidates, vendorRow.homeFolder)) continue;
        candidates.push_back(std::move(vendorRow));
    }

    return chooseCandidate(std::move(candidates), settings, [&](JreCandidate& chosen) {
        if (chosen.fromVendorKey) {
            // A library of the other machine can only be run by the paired launcher.
            const auto machine = files.imageMachine(chosen.jvmLibraryPath);
            chosen.needsPair = machine && *machine != platform.machine;
            return !chosen.needsPair || !settings.pairProduct.empty();
        }
        return !chosen.homeFolder.empty() || examine(chosen);
    });
}

JreSearchResult searchForJre(const JreSearchSettings& settings, std::wstring_view executableFolder,
                             const RegistryReader& registry, const FileSystemView& files,
                             const LauncherPlatform& platform) {
    JreSearchResult result;

    if (!settings.jrePathSetting.empty()) {
        const std::wstring folder = withTrailingBackslash(settings.jrePathSetting);
        ProbeResult probe = probeJvmLibrary(folder, settings.jvmType, files);
        const auto machine = files.imageMachine(probe.jvmLibraryPath);
        // A remembered runtime that neither this launcher nor a pair can run is passed over like
        // a missing one, so the search and the dialog get their chance again.
        if (!probe.jvmLibraryPath.empty() &&
            canRunLibrary(machine, settings.pairProduct, platform.machine)) {
            result.found = true;
            result.relaunchViaPair =
                needsPairForMachine(machine, settings.pairProduct, platform.machine);
            result.jvmLibraryPath = std::move(probe.jvmLibraryPath);
            return result;
        }
    }

    // A runtime shipped with the application: the launcher's own folder, or its "jre\". Without
    // either there is nothing to probe here; the current directory is never searched.
    if (!executableFolder.empty()) {
        const std::wstring own = withTrailingBackslash(executableFolder);
        const std::wstring bundled = own + L"jre\\";
        const std::wstring* runtime = isJreFolder(own, files)       ? &own
                                      : isJreFolder(bundled, files) ? &bundled
                                                                    : nullptr;
        if (runtime) {
            ProbeResult probe = probeJvmLibrary(*runtime, settings.jvmType, files);
            if (!probe.jvmLibraryPath.empty()) {
                result.found = true;
                result.jvmLibraryPath = std::move(probe.jvmLibraryPath);
                return result;
            }
        }
    }

    // Each view is one table of the classic and the vendors' keys; the 64-bit view, only for a
    // 32-bit launcher with a pair, is read when the default one selects nothing.
    std::optional<RegistryChoice> choice =
        searchRegistry(settings, RegistryView::Default, registry, files, platform);
    bool fromWide64 = false;
    if (!choice && !settings.pairProduct.empty() && platform.canReadWide64) {
        choice = searchRegistry(settings, RegistryView::Wide64, registry, files, platform);
        fromWide64 = choice.has_value();
    }
    if (choice) {
        result.chosenVersion = choice->version;
        ProbeResult probe = probeJvmLibrary(choice->homeFolder, settings.jvmType, files);
        if (!probe.jvmLibraryPath.empty()) {
            result.found = true;
            result.jvmLibraryPath = std::move(probe.jvmLibraryPath);
            result.relaunchViaPair = fromWide64 || choice->needsPair;
        }
    }
    return result;
}

}  // namespace jre
