#include "splash/splash_settings.h"

#include <algorithm>

#include "base/path.h"
#include "base/text.h"

namespace splash {

bool SplashSettings::prefersRuntimeSplash() const noexcept {
    return base::equalsIgnoringCase(preference, L"Yes");
}

std::wstring runtimeSplashLibraryPath(std::wstring_view jvmLibraryPath) {
    // The library sits in the runtime's bin folder, the parent of the JVM library's own folder.
    if (std::ranges::count(jvmLibraryPath, L'\\') < 2) return {};
    std::wstring path = base::folderOf(jvmLibraryPath, 2);
    if (path.empty() || (path.back() != L'\\' && path.back() != L'/')) path += L'\\';
    return path + L"splashscreen.dll";
}

}  // namespace splash
