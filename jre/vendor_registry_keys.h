#pragma once

#include <array>
#include <cstddef>

#include "jre/jre_search.h"

namespace jre {

namespace detail {

constexpr RegistryKeySpec vendorKey(std::wstring_view path, JavaKind kind, JavaVendor vendor,
                                    std::wstring_view belowVersion, std::wstring_view valueName) {
    return {path, kind, vendor, false, false, RegistryRoot::LocalMachine, belowVersion, valueName};
}

// MSI installers write these under HKEY_LOCAL_MACHINE for everyone, or under HKEY_CURRENT_USER
// for a per-user install; every machine key is followed by the same keys of the user.
template <size_t N>
constexpr std::array<RegistryKeySpec, 2 * N> inBothRoots(
    const std::array<RegistryKeySpec, N>& keys) {
    std::array<RegistryKeySpec, 2 * N> both{};
    for (size_t i = 0; i < N; ++i) {
        both[i] = keys[i];
        both[N + i] = keys[i];
        both[N + i].root = RegistryRoot::CurrentUser;
    }
    return both;
}

constexpr std::wstring_view kHotspotMsi = L"\\hotspot\\MSI";
constexpr std::wstring_view kOpenJ9Msi = L"\\openj9\\MSI";

}  // namespace detail

// The vendors' own keys of today's OpenJDK builds, ranked in one table with kRegistryKeys, after
// them. Their version subkeys name the version ("17.0.9.9"), or only the major version (Azul's
// "zulu-17"), in which case the runtime's "release" file gives it. For "VM Provider" HotSpot
// builds count as the Sun vendor class and OpenJ9 builds as IBM; for "JVM Source" each key's
// kind is the one its vendor installs there (Zulu and Microsoft ship JDKs only).
inline constexpr auto kVendorRegistryKeys = detail::inBothRoots(std::array{
    // Eclipse Adoptium, and the same builds' older releases as "Eclipse Foundation" and
    // "AdoptOpenJDK".
    detail::vendorKey(L"SOFTWARE\\Eclipse Adoptium\\JDK\\", JavaKind::Jdk, JavaVendor::Sun,
                      detail::kHotspotMsi, L"Path"),
    detail::vendorKey(L"SOFTWARE\\Eclipse Adoptium\\JDK\\", JavaKind::Jdk, JavaVendor::Ibm,
                      detail::kOpenJ9Msi, L"Path"),
    detail::vendorKey(L"SOFTWARE\\Eclipse Adoptium\\JRE\\", JavaKind::Jre, JavaVendor::Sun,
                      detail::kHotspotMsi, L"Path"),
    detail::vendorKey(L"SOFTWARE\\Eclipse Adoptium\\JRE\\", JavaKind::Jre, JavaVendor::Ibm,
                      detail::kOpenJ9Msi, L"Path"),
    detail::vendorKey(L"SOFTWARE\\Eclipse Foundation\\JDK\\", JavaKind::Jdk, JavaVendor::Sun,
                      detail::kHotspotMsi, L"Path"),
    detail::vendorKey(L"SOFTWARE\\Eclipse Foundation\\JDK\\", JavaKind::Jdk, JavaVendor::Ibm,
                      detail::kOpenJ9Msi, L"Path"),
    detail::vendorKey(L"SOFTWARE\\Eclipse Foundation\\JRE\\", JavaKind::Jre, JavaVendor::Sun,
                      detail::kHotspotMsi, L"Path"),
    detail::vendorKey(L"SOFTWARE\\Eclipse Foundation\\JRE\\", JavaKind::Jre, JavaVendor::Ibm,
                      detail::kOpenJ9Msi, L"Path"),
    detail::vendorKey(L"SOFTWARE\\AdoptOpenJDK\\JDK\\", JavaKind::Jdk, JavaVendor::Sun,
                      detail::kHotspotMsi, L"Path"),
    detail::vendorKey(L"SOFTWARE\\AdoptOpenJDK\\JDK\\", JavaKind::Jdk, JavaVendor::Ibm,
                      detail::kOpenJ9Msi, L"Path"),
    detail::vendorKey(L"SOFTWARE\\AdoptOpenJDK\\JRE\\", JavaKind::Jre, JavaVendor::Sun,
                      detail::kHotspotMsi, L"Path"),
    detail::vendorKey(L"SOFTWARE\\AdoptOpenJDK\\JRE\\", JavaKind::Jre, JavaVendor::Ibm,
                      detail::kOpenJ9Msi, L"Path"),
    // Microsoft Build of OpenJDK.
    detail::vendorKey(L"SOFTWARE\\Microsoft\\JDK\\", JavaKind::Jdk, JavaVendor::Sun,
                      detail::kHotspotMsi, L"Path"),
    // Azul Zulu: "zulu-<major>" subkeys.
    detail::vendorKey(L"SOFTWARE\\Azul Systems\\Zulu\\", JavaKind::Jdk, JavaVendor::Sun, L"",
                      L"InstallationPath"),
});

}  // namespace jre
