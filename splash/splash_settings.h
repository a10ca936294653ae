#pragma once

#include <string>
#include <string_view>

namespace splash {

// The splash settings of section "Display", each as read (a missing key reads as empty); the
// launcher reads them with the rest of its settings.
struct SplashSettings {
    std::wstring imagePath;   // "Splash Screen": no splash when empty
    std::wstring shadow;      // "Splash Screen Shadow"
    std::wstring preference;  // "Preffer Native Splash Screen" (sic: the key has a double f)

    // Only the exact lower-case "true" casts the drop shadow.
    [[nodiscard]] bool wantsShadow() const noexcept { return shadow == L"true"; }
    // "Yes" in any letter case selects the runtime's splash library.
    [[nodiscard]] bool prefersRuntimeSplash() const noexcept;
};

// Where the runtime's splash library would be: the JVM library's path without its file name and
// the folder holding it (for <jre>\bin\client\jvm.dll that leaves <jre>\bin), then
// "splashscreen.dll". Empty when the path has fewer than two backslashes to cut at.
[[nodiscard]] std::wstring runtimeSplashLibraryPath(std::wstring_view jvmLibraryPath);

}  // namespace splash
