#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "jre/java_version.h"

// How the versions of runtimes registered under the vendors' own keys are read. The result is
// in the scheme of the settings' bounds, where Java 8 is 1.8.
namespace jre {

// Vendors number Java 8 and older without the leading "1." ("8.0.392.8" for 1.8.0_392, the
// last number being their build): a version whose first number is 2 to 8 is shifted into the
// old scheme and loses its build number. Every other version is returned as it is.
[[nodiscard]] JavaVersion inJavaVersionScheme(const JavaVersion& vendorVersion);

// The version a key name stands for when it holds a full version, that is at least three
// numbers ("17.0.9.9", "8.0.392.8"); nullopt for names that give less ("zulu-17", "21").
[[nodiscard]] std::optional<JavaVersion> versionFromKeyName(std::wstring_view keyName);

// A runtime's "release" file is read no further than this; real ones are a few kilobytes.
inline constexpr size_t kReleaseFileLimit = 64 * 1024;

// The version in the first JAVA_VERSION line of a runtime's "release" file
// (JAVA_VERSION="17.0.9", quotes optional); nullopt when there is no such line or its value
// holds no version. `text` is the file's start; when it fills kReleaseFileLimit the last,
// unterminated line may be cut and is not read.
[[nodiscard]] std::optional<JavaVersion> versionFromReleaseText(std::string_view text);

// The "VM Provider" class of a runtime by its "release" file: IBM for an OpenJ9 build
// (JVM_VARIANT="Openj9"), Sun for every other.
[[nodiscard]] bool isOpenJ9ReleaseText(std::string_view text);

}  // namespace jre
