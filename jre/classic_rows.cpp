#include "jre/classic_rows.h"

#include "base/text.h"
#include "jre/search_candidates.h"

namespace jre {

std::vector<JreCandidate> ClassicRows::read(const JreSearchSettings& settings) {
    std::vector<JreCandidate> candidates;
    for (const RegistryKeySpec& key : kRegistryKeys) {
        if (!isKeySearched(key, settings)) continue;
        const auto subkeys = registry_.subkeyNames(key.root, key.path, view_);
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
                note(trace_, L"Registry", std::wstring(key.path) + subkey, &version, kOutOfBounds);
                continue;
            }
            JreCandidate candidate{version, {}, false, favoured};
            candidate.entry = entries_.size();
            candidates.push_back(std::move(candidate));
            entries_.push_back({&key, subkey, probeType, version});
            examined_.emplace_back();
        }
    }
    return candidates;
}

const ClassicRows::Examined& ClassicRows::examineEntry(size_t index) {
    Examined& result = examined_[index];
    if (result.done) return result;
    result.done = true;
    const Entry& entry = entries_[index];
    const auto home = registry_.textValue(entry.key->root, entry.key->path, entry.subkey,
                                          entry.key->valueName, view_);
    if (!home || home->empty()) {
        note(trace_, L"Registry", std::wstring(entry.key->path) + entry.subkey, &entry.version,
             L"no folder value");
        return result;
    }
    std::wstring folder = withTrailingBackslash(*home);
    if (entry.key->homeHoldsJreFolder) folder += L"jre\\";
    const ProbeResult probe = probeJvmLibrary(folder, entry.probeType, files_);
    if (probe.jvmLibraryPath.empty()) {
        note(trace_, L"Registry", folder, &entry.version, kNoLibrary);
        return result;
    }
    result = {true, true, std::move(folder), probe.server};
    return result;
}

bool ClassicRows::examine(JreCandidate& candidate) {
    const Examined& result = examineEntry(candidate.entry);
    if (!result.usable) return false;
    candidate.homeFolder = result.folder;
    candidate.server = result.server;
    return true;
}

bool ClassicRows::holdsFolder(std::wstring_view folder) {
    for (size_t index = 0; index < entries_.size(); ++index) {
        const Examined& result = examineEntry(index);
        if (result.usable && base::equalsIgnoringCase(result.folder, folder)) return true;
    }
    return false;
}

std::wstring ClassicRows::keyOf(const JreCandidate& candidate) const {
    const Entry& entry = entries_[candidate.entry];
    return std::wstring(entry.key->path) + entry.subkey;
}

}  // namespace jre
