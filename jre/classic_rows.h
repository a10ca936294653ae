#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "jre/jre_search.h"

namespace jre {

// The installations under the classic keys (kRegistryKeys) of one view. An old machine holds
// many, and each costs a registry read and file look-ups to examine, so they are ranked by the
// version their key names and examined lazily, best first, each at most once.
class ClassicRows {
  public:
    ClassicRows(RegistryView view, const RegistryReader& registry, const FileSystemView& files,
                SearchTrace* trace)
        : view_(view), registry_(registry), files_(files), trace_(trace) {}

    // Reads the keys' subkey names: one unexamined candidate per installation within the bounds,
    // in key order; those outside are noted and left out. Called once.
    [[nodiscard]] std::vector<JreCandidate> read(const JreSearchSettings& settings);

    // Reads the candidate's folder and probes it for a library; false when either is missing.
    [[nodiscard]] bool examine(JreCandidate& candidate);

    // Whether a usable installation lives in `folder`; examines every one not examined yet.
    [[nodiscard]] bool holdsFolder(std::wstring_view folder);

    // The key a candidate came from, for a launch log's line about a row never examined.
    [[nodiscard]] std::wstring keyOf(const JreCandidate& candidate) const;

  private:
    // Where an installation's folder is read from.
    struct Entry {
        const RegistryKeySpec* key;
        std::wstring subkey;
        JvmType probeType;
        JavaVersion version;
    };
    // What examining it found.
    struct Examined {
        bool done = false;
        bool usable = false;
        std::wstring folder;
        bool server = false;
    };
    const Examined& examineEntry(size_t index);

    RegistryView view_;
    const RegistryReader& registry_;
    const FileSystemView& files_;
    SearchTrace* trace_;
    std::vector<Entry> entries_;
    std::vector<Examined> examined_;  // one per entry
};

}  // namespace jre
