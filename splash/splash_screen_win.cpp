#include <windows.h>

#include "splash/splash_screen_win.h"

#include "base/ansi_win.h"
#include "base/files_win.h"
#include "base/module_win.h"

namespace splash {
namespace {

// The runtime's splash library exports C functions (the C calling convention on 32-bit too).
using SplashInitFunction = void(__cdecl*)();
using SplashLoadFileFunction = int(__cdecl*)(const char* fileName);
using SplashSetFileJarNameFunction = void(__cdecl*)(const char* fileName, const char* jarName);

}  // namespace

bool startRuntimeSplash(const std::wstring& libraryPath, const std::wstring& imagePath,
                        OneShotCall& closeEntry) {
    // Never freed: its close entry runs as late as the launcher's end, and its own splash
    // thread lives in the process.
    HMODULE library = LoadLibraryW(libraryPath.c_str());
    if (library == nullptr) return false;
    const auto init = base::procAddress<SplashInitFunction>(library, "SplashInit");
    const auto loadFile = base::procAddress<SplashLoadFileFunction>(library, "SplashLoadFile");
    const auto setFileJarName =
        base::procAddress<SplashSetFileJarNameFunction>(library, "SplashSetFileJarName");
    closeEntry.set(base::procAddress<OneShotCall::Function>(library, "SplashClose"));
    if (init == nullptr || loadFile == nullptr || setFileJarName == nullptr) return false;

    const std::string narrowPath = base::toThreadAnsi(imagePath);
    init();
    // An image the library cannot read or decode leaves it showing nothing, and closing what
    // never opened serves no one: the launcher's own window takes over as if the library were
    // absent.
    if (loadFile(narrowPath.c_str()) == 0) {
        closeEntry.forget();
        return false;
    }
    setFileJarName(narrowPath.c_str(), "");
    return true;
}

std::unique_ptr<OwnSplashScreen> showSplash(const SplashSettings& settings,
                                            std::wstring_view jvmLibraryPath,
                                            OneShotCall& runtimeSplashClose,
                                            std::atomic<HWND>& ownWindowHandle) {
    if (settings.imagePath.empty()) return nullptr;
    if (settings.prefersRuntimeSplash()) {
        const std::wstring library = runtimeSplashLibraryPath(jvmLibraryPath);
        if (!library.empty() && base::pathExists(library) &&
            startRuntimeSplash(library, settings.imagePath, runtimeSplashClose)) {
            return nullptr;
        }
    }
    return OwnSplashScreen::start(settings.imagePath, settings.wantsShadow(), ownWindowHandle);
}

}  // namespace splash
