#pragma once

// The candidates the search examines in their folders as it finds them: installations under the
// vendors' own keys, and the folders that JAVA_HOME, the Path and the vendors' install folders
// name; with the vocabulary of acceptance the ranking shares.
#include <string_view>
#include <vector>

#include "jre/jre_search.h"

namespace jre {

// Verdicts a launch log shows for a candidate passed over.
inline constexpr std::wstring_view kOutOfBounds = L"outside Minimum Version and Maximum Version";
inline constexpr std::wstring_view kNoLibrary = L"no JVM library for the JVM Type";
inline constexpr std::wstring_view kNamedEarlier = L"the same folder as an earlier candidate";

[[nodiscard]] bool isVendorAccepted(JavaVendor vendor, const JreSearchSettings& settings);
[[nodiscard]] bool isVendorPreferred(JavaVendor vendor, const JreSearchSettings& settings);
[[nodiscard]] bool isKindAccepted(JavaKind kind, const JreSearchSettings& settings);
// Searched at all: the kind accepted (or the other kind as a fall-back) and the vendor class.
[[nodiscard]] bool isSearched(JavaKind kind, JavaVendor vendor, const JreSearchSettings& settings);
[[nodiscard]] bool isFavoured(JavaKind kind, JavaVendor vendor, const JreSearchSettings& settings);

// Whether a candidate names the folder already (folder names compared ignoring case).
[[nodiscard]] bool isKnownFolder(const std::vector<JreCandidate>& candidates,
                                 std::wstring_view folder);

// Adds a verdict to the trace, when there is one.
void note(SearchTrace* trace, std::wstring_view source, std::wstring_view place,
          const JavaVersion* version, std::wstring_view verdict);

// Looks into a folder source's row that was ranked unexamined, once it is chosen: its library,
// and its "jre\" for a Java 8 JDK. False when it holds no library for the JVM type.
[[nodiscard]] bool probeChosenFolder(JreCandidate& row, const JreSearchSettings& settings,
                                     const FileSystemView& files, SearchTrace* trace);

// The installations under the vendors' own keys in one view, each folder once, under the first
// key naming it. Their versions may come from the folders, so they are examined at once.
[[nodiscard]] std::vector<JreCandidate> vendorCandidates(const JreSearchSettings& settings,
                                                         RegistryView view,
                                                         const RegistryReader& registry,
                                                         const FileSystemView& files,
                                                         SearchTrace* trace);

}  // namespace jre
