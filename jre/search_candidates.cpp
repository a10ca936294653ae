#include "jre/search_candidates.h"

#include <algorithm>

#include "base/text.h"
#include "jre/vendor_registry_keys.h"
#include "jre/vendor_version.h"

namespace jre {

namespace {

bool isBefore9(const JavaVersion& version) {
    return compareVersions(version, JavaVersion{{9, 0, 0, 0}}) < 0;
}

bool isWithinSettingsBounds(const JavaVersion& version, const JreSearchSettings& settings) {
    return isWithinBounds(version, settings.minimumVersion, settings.maximumVersion);
}

// A runtime folder of a known version, examined: the folder as named, except that a Java 8 JDK
// keeps its runtime in "jre\" (looked for in any Java 8 folder when the kind is not known);
// nullopt when it holds no library for the JVM type.
std::optional<JreCandidate> examinedRuntime(const std::wstring& folder, const JavaVersion& version,
                                            std::optional<JavaKind> kind,
                                            const JreSearchSettings& settings,
                                            const FileSystemView& files) {
    std::wstring runtime = folder;
    ProbeResult probe;
    if (kind != JavaKind::Jre && isBefore9(version)) {
        probe = probeJvmLibrary(folder + L"jre\\", settings.jvmType, files);
        if (!probe.jvmLibraryPath.empty()) runtime += L"jre\\";
    }
    if (probe.jvmLibraryPath.empty()) probe = probeJvmLibrary(runtime, settings.jvmType, files);
    if (probe.jvmLibraryPath.empty()) return std::nullopt;
    JreCandidate candidate{version, std::move(runtime), probe.server};
    candidate.jvmLibraryPath = std::move(probe.jvmLibraryPath);
    candidate.examinedEarly = true;
    return candidate;
}

// One installation under a vendor's own key, or nullopt when it does not fit. Its version comes
// from the key name, else from the runtime's "release" file.
std::optional<JreCandidate> vendorCandidate(const RegistryKeySpec& key, const std::wstring& subkey,
                                            RegistryView view, const JreSearchSettings& settings,
                                            const RegistryReader& registry,
                                            const FileSystemView& files, SearchTrace* trace) {
    const std::wstring keyName = std::wstring(key.path) + subkey;
    std::optional<JavaVersion> version = versionFromKeyName(subkey);
    if (version && !isWithinSettingsBounds(*version, settings)) {
        note(trace, L"Registry", keyName, &*version, kOutOfBounds);
        return std::nullopt;
    }
    const auto home = registry.textValue(
        key.root, key.path, subkey + std::wstring(key.belowVersion), key.valueName, view);
    if (!home || home->empty()) {
        note(trace, L"Registry", keyName, version ? &*version : nullptr, L"no folder value");
        return std::nullopt;
    }
    const std::wstring folder = withTrailingBackslash(*home);
    if (!version) {
        const auto release = files.readFileStart(folder + L"release", kReleaseFileLimit);
        if (release) version = versionFromReleaseText(*release);
        if (!version || !isWithinSettingsBounds(*version, settings)) {
            note(trace, L"Registry", folder, version ? &*version : nullptr,
                 version ? kOutOfBounds : L"no version in its release file");
            return std::nullopt;
        }
    }
    auto candidate = examinedRuntime(folder, *version, key.kind, settings, files);
    if (!candidate) note(trace, L"Registry", folder, &*version, kNoLibrary);
    return candidate;
}

// A folder that JAVA_HOME, the Path or a vendor folder names. Nothing but the folder tells
// what it holds: the "release" file gives the version and the OpenJ9 builds (IBM class), a
// compiler beside the launcher makes it a JDK.
std::optional<JreCandidate> folderCandidate(const SourceFolder& found,
                                            const JreSearchSettings& settings,
                                            const FileSystemView& files, SearchTrace* trace) {
    const std::wstring_view source = runtimeSourceName(found.source);
    const auto passOver = [&](const JavaVersion* version, std::wstring_view why) {
        note(trace, source, found.folder, version, why);
        return std::nullopt;
    };
    const auto release = files.readFileStart(found.folder + L"release", kReleaseFileLimit);
    const auto version = release ? versionFromReleaseText(*release) : std::nullopt;
    if (!version) return passOver(nullptr, L"no readable version in a release file");
    if (!isWithinSettingsBounds(*version, settings)) return passOver(&*version, kOutOfBounds);
    const JavaVendor vendor = isOpenJ9ReleaseText(*release) ? JavaVendor::Ibm : JavaVendor::Sun;
    if (!isVendorAccepted(vendor, settings)) {
        return passOver(&*version, L"a vendor class VM Provider does not accept");
    }
    // With both kinds accepted the kind changes neither the search nor the favour, and without
    // a server-first JVM type the library takes no part in the ranking: the folder is looked
    // into only if it is chosen.
    if (settings.acceptJdk && settings.acceptJre && settings.jvmType != JvmType::ServerFirst) {
        JreCandidate row{*version, found.folder};
        row.favoured = isFavoured(JavaKind::Jdk, vendor, settings);
        row.examinedEarly = row.probeWhenChosen = true;
        row.source = found.source;
        return row;
    }
    const JavaKind kind =
        files.fileExists(found.folder + L"bin\\javac.exe") ? JavaKind::Jdk : JavaKind::Jre;
    if (!isSearched(kind, vendor, settings)) {
        return passOver(&*version, L"a kind JVM Source does not accept");
    }
    auto candidate = examinedRuntime(found.folder, *version, kind, settings, files);
    if (!candidate) return passOver(&*version, kNoLibrary);
    candidate->favoured = isFavoured(kind, vendor, settings);
    candidate->source = found.source;
    return candidate;
}

}  // namespace

bool probeChosenFolder(JreCandidate& row, const JreSearchSettings& settings,
                       const FileSystemView& files, SearchTrace* trace) {
    row.probeWhenChosen = false;
    auto examined = examinedRuntime(row.homeFolder, row.version, std::nullopt, settings, files);
    if (!examined) {
        note(trace, runtimeSourceName(row.source), row.homeFolder, &row.version, kNoLibrary);
        return false;
    }
    row.homeFolder = std::move(examined->homeFolder);
    row.jvmLibraryPath = std::move(examined->jvmLibraryPath);
    row.server = examined->server;
    return true;
}

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

bool isKnownFolder(const std::vector<JreCandidate>& candidates, std::wstring_view folder) {
    return std::any_of(candidates.begin(), candidates.end(), [&](const JreCandidate& known) {
        return base::equalsIgnoringCase(known.homeFolder, folder);
    });
}

bool isSearched(JavaKind kind, JavaVendor vendor, const JreSearchSettings& settings) {
    const bool kindSearched = isKindAccepted(kind, settings) || settings.fallBackToOtherKind;
    return kindSearched && isVendorAccepted(vendor, settings);
}

bool isFavoured(JavaKind kind, JavaVendor vendor, const JreSearchSettings& settings) {
    return isKindAccepted(kind, settings) && isVendorPreferred(vendor, settings);
}

void note(SearchTrace* trace, std::wstring_view source, std::wstring_view place,
          const JavaVersion* version, std::wstring_view verdict) {
    if (trace == nullptr) return;
    trace->push_back({std::wstring(source), std::wstring(place),
                      version ? versionText(*version) : std::wstring(), std::wstring(verdict)});
}

std::vector<JreCandidate> vendorCandidates(const JreSearchSettings& settings, RegistryView view,
                                           const RegistryReader& registry,
                                           const FileSystemView& files, SearchTrace* trace) {
    std::vector<JreCandidate> candidates;
    for (const RegistryKeySpec& key : kVendorRegistryKeys) {
        // The user's software keys are one and the same in both views: read them once.
        if (key.root == RegistryRoot::CurrentUser && view == RegistryView::Wide64) continue;
        if (!isKeySearched(key, settings)) continue;
        const auto subkeys = registry.subkeyNames(key.root, key.path, view);
        if (!subkeys) continue;
        for (const std::wstring& subkey : *subkeys) {
            auto candidate = vendorCandidate(key, subkey, view, settings, registry, files, trace);
            if (!candidate) continue;
            if (isKnownFolder(candidates, candidate->homeFolder)) {
                note(trace, L"Registry", candidate->homeFolder, &candidate->version, kNamedEarlier);
                continue;
            }
            candidate->favoured = isFavoured(key, settings);
            candidates.push_back(std::move(*candidate));
        }
    }
    return candidates;
}

std::vector<JreCandidate> sourceCandidates(const JreSearchSettings& settings,
                                           const SourceEnvironment& environment,
                                           const FileSystemView& files, SearchTrace* trace) {
    const auto folders =
        sourceFolders(settings.runtimeSources, environment,
                      [&](const std::wstring& path) { return files.lookUpFile(path); });
    std::vector<JreCandidate> rows;
    std::vector<std::wstring> examined;
    for (const SourceFolder& found : folders) {
        const bool seen = std::any_of(examined.begin(), examined.end(), [&](const auto& folder) {
            return base::equalsIgnoringCase(folder, found.folder);
        });
        if (seen) {
            note(trace, runtimeSourceName(found.source), found.folder, nullptr, kNamedEarlier);
            continue;
        }
        examined.push_back(found.folder);
        if (auto row = folderCandidate(found, settings, files, trace)) {
            rows.push_back(std::move(*row));
        }
    }
    return rows;
}

}  // namespace jre
