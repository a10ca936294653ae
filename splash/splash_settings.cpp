#include "splash/splash_settings.h"

#include "base/text.h"

namespace splash {

bool SplashSettings::prefersRuntimeSplash() const noexcept {
    return base::equalsIgnoringCase(preference, L"Yes");
}

std::wstring runtimeSplashLibraryPath(std::wstring_view jvmLibraryPath) {
    std::wstring_view folder = jvmLibraryPath;
    for (int cut = 0; cut < 2; ++cut) {
        const auto last = folder.rfind(L'\\');
        if (last == std::wstring_view::npos) return {};
        folder = folder.substr(0, last);
    }
    std::wstring path(folder);
    if (path.empty() || (path.back() != L'\\' && path.back() != L'/')) path += L'\\';
    return path + L"splashscreen.dll";
}

}  // namespace splash
