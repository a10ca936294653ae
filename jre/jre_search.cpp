#include "jre/jre_search.h"

#include <algorithm>

#include "base/path.h"
#include "base/text.h"
#include "jre/classic_rows.h"
#include "jre/pe_image.h"
#include "jre/search_candidates.h"
#include "jre/vendor_registry_keys.h"
#include "jre/vendor_version.h"

namespace jre {

namespace {

constexpr std::wstring_view kServerLibrary = L"bin\\server\\jvm.dll";
constexpr std::wstring_view kClientLibrary = L"bin\\client\\jvm.dll";
constexpr std::wstring_view kClassicLibrary = L"bin\\classic\\jvm.dll";
constexpr std::wstring_view kHotspotLibrary = L"bin\\hotspot\\jvm.dll";
constexpr std::wstring_view kJrockitLibrary = L"bin\\jrockit\\jvm.dll";

// Positive when a ranks above b.
int rankOrder(const JreCandidate& a, const JreCandidate& b, bool byFavour, bool byServer) {
    if (byFavour && a.favoured != b.favoured) return a.favoured ? 1 : -1;
    if (byServer && a.server != b.server) return a.server ? 1 : -1;
    return compareVersions(a.version, b.version);
}

// Ranks the candidates and selects one. `isUsable` may turn the selected one down; the
// selection is then made again among the rest, as if it had never been a candidate. So a check
// that costs file reads is made for the few candidates selected, not for every one. `describe`
// is told the verdict on the one taken and on those that rank below it.
template <typename IsUsable, typename Describe>
std::optional<RegistryChoice> chooseCandidate(std::vector<JreCandidate> candidates,
                                              const JreSearchSettings& settings, IsUsable isUsable,
                                              Describe describe) {
    rankCandidates(candidates, settings);
    while (!candidates.empty()) {
        const size_t index = selectCandidate(candidates, settings.preferredVersions);
        JreCandidate& chosen = candidates[index];
        if (isUsable(chosen)) {
            describe(chosen, L"taken");
            for (size_t i = 0; i < candidates.size(); ++i) {
                if (i != index) describe(candidates[i], L"ranked below the one taken");
            }
            return RegistryChoice{std::move(chosen.homeFolder), chosen.version, chosen.needsPair};
        }
        candidates.erase(candidates.begin() + static_cast<std::ptrdiff_t>(index));
    }
    return std::nullopt;
}

// A source's place in the settings' order; past the end for a source not used.
std::ptrdiff_t sourcePlace(const JreSearchSettings& settings, RuntimeSource source) {
    return std::find(settings.runtimeSources.begin(), settings.runtimeSources.end(), source) -
           settings.runtimeSources.begin();
}

// One table in the order of the sources, the classic rows first among the registry's, so that
// equal ranks keep the pick of the earlier source. A folder already in the table is left out:
// installers may write several keys, and JAVA_HOME often names a registered one. A classic
// row's folder is known only once it is examined; that comparison waits until a row it could
// concern is chosen.
std::vector<JreCandidate> rowsInSourceOrder(const JreSearchSettings& settings,
                                            std::vector<JreCandidate> classicRows,
                                            std::vector<JreCandidate> vendorRows,
                                            std::vector<JreCandidate> sourceRows,
                                            SearchTrace* trace) {
    std::vector<JreCandidate> table;
    const auto append = [&](JreCandidate& row) {
        const bool known = isKnownFolder(table, row.homeFolder) ||
                           (row.probeWhenChosen && isKnownFolder(table, row.homeFolder + L"jre\\"));
        if (row.examinedEarly && known) {
            note(trace, runtimeSourceName(row.source), row.homeFolder, &row.version, kNamedEarlier);
            return;
        }
        table.push_back(std::move(row));
    };
    for (const RuntimeSource source : settings.runtimeSources) {
        if (source == RuntimeSource::Registry) {
            for (JreCandidate& row : classicRows) append(row);
            for (JreCandidate& row : vendorRows) append(row);
            continue;
        }
        for (JreCandidate& row : sourceRows) {
            if (row.source == source) append(row);
        }
    }
    return table;
}

}  // namespace

bool isKeySearched(const RegistryKeySpec& key, const JreSearchSettings& settings) {
    return isSearched(key.kind, key.vendor, settings);
}

bool isFavoured(const RegistryKeySpec& key, const JreSearchSettings& settings) {
    return isFavoured(key.kind, key.vendor, settings);
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

std::wstring versionText(const JavaVersion& version) {
    const auto& parts = version.parts;
    return std::to_wstring(parts[0]) + L"." + std::to_wstring(parts[1]) + L"." +
           std::to_wstring(parts[2]) + L"." + std::to_wstring(parts[3]);
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
                                             const LauncherPlatform& platform,
                                             std::vector<JreCandidate> sourceRows,
                                             SearchTrace* trace) {
    const auto registryPlace = sourcePlace(settings, RuntimeSource::Registry);
    ClassicRows classic(view, registry, files, trace);
    std::vector<JreCandidate> classicRows;
    std::vector<JreCandidate> vendorRows;
    if (registryPlace < static_cast<std::ptrdiff_t>(settings.runtimeSources.size())) {
        classicRows = classic.read(settings);
        if (settings.modernRuntimeKeys) {
            vendorRows = vendorCandidates(settings, view, registry, files, trace);
        }
    }
    // The probe's server flag takes part in the ranking: every classic folder is needed first.
    if (settings.jvmType == JvmType::ServerFirst) {
        std::erase_if(classicRows, [&](JreCandidate& row) { return !classic.examine(row); });
    }
    std::vector<JreCandidate> candidates = rowsInSourceOrder(
        settings, std::move(classicRows), std::move(vendorRows), std::move(sourceRows), trace);
    std::vector<std::wstring> foldersBeforeRegistry;
    for (const JreCandidate& row : candidates) {
        if (row.examinedEarly && sourcePlace(settings, row.source) < registryPlace) {
            foldersBeforeRegistry.push_back(row.homeFolder);
        }
    }

    // A classic row never examined is known by its key alone.
    const auto describe = [&](const JreCandidate& row, std::wstring_view verdict) {
        if (trace == nullptr) return;
        const std::wstring place = !row.homeFolder.empty() ? row.homeFolder : classic.keyOf(row);
        note(trace, runtimeSourceName(row.source), place, &row.version, verdict);
    };
    const auto isUsable = [&](JreCandidate& chosen) {
        if (!chosen.examinedEarly) {
            if (chosen.homeFolder.empty() && !classic.examine(chosen)) return false;
            const bool namedEarlier =
                std::any_of(foldersBeforeRegistry.begin(), foldersBeforeRegistry.end(),
                            [&](const std::wstring& folder) {
                                return base::equalsIgnoringCase(folder, chosen.homeFolder);
                            });
            if (namedEarlier) describe(chosen, kNamedEarlier);
            return !namedEarlier;
        }
        if (chosen.probeWhenChosen && !probeChosenFolder(chosen, settings, files, trace)) {
            return false;
        }
        // A row after the classic ones that names one of their folders counts under it.
        if (sourcePlace(settings, chosen.source) >= registryPlace &&
            classic.holdsFolder(chosen.homeFolder)) {
            describe(chosen, kNamedEarlier);
            return false;
        }
        // A library of the other machine can only be run by the paired launcher.
        const auto machine = files.imageMachine(chosen.jvmLibraryPath);
        chosen.needsPair = machine && *machine != platform.machine;
        const bool usable = !chosen.needsPair || !settings.pairProduct.empty();
        if (!usable) describe(chosen, L"built for another machine, and no Pair Product");
        return usable;
    };
    return chooseCandidate(std::move(candidates), settings, isUsable, describe);
}

JreSearchResult searchForJre(const JreSearchSettings& settings, std::wstring_view executableFolder,
                             const RegistryReader& registry, const FileSystemView& files,
                             const LauncherPlatform& platform) {
    return searchForJre(settings, executableFolder, registry, files, platform,
                        EmptySourceEnvironment());
}

JreSearchResult searchForJre(const JreSearchSettings& settings, std::wstring_view executableFolder,
                             const RegistryReader& registry, const FileSystemView& files,
                             const LauncherPlatform& platform, const SourceEnvironment& environment,
                             SearchTrace* trace) {
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
            note(trace, L"JRE Path", folder, nullptr, L"taken");
            return result;
        }
        note(trace, L"JRE Path", folder, nullptr,
             probe.jvmLibraryPath.empty() ? kNoLibrary
                                          : L"built for another machine, and no Pair Product");
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
                note(trace, L"beside the executable", *runtime, nullptr, L"taken");
                return result;
            }
            note(trace, L"beside the executable", *runtime, nullptr, kNoLibrary);
        }
    }

    // Each view is one table of the classic and the vendors' keys; the runtimes of the other
    // sources, which no view holds, join the default view's. The 64-bit view, only for a 32-bit
    // launcher with a pair, is read when the default one selects nothing.
    std::optional<RegistryChoice> choice =
        searchRegistry(settings, RegistryView::Default, registry, files, platform,
                       sourceCandidates(settings, environment, files, trace), trace);
    bool fromWide64 = false;
    if (!choice && !settings.pairProduct.empty() && platform.canReadWide64) {
        choice =
            searchRegistry(settings, RegistryView::Wide64, registry, files, platform, {}, trace);
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
