#pragma once

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>
#include <string_view>

#include "splash/one_shot_call.h"
#include "splash/own_splash_win.h"
#include "splash/splash_settings.h"

namespace splash {

// Starts the runtime's splash library at libraryPath: "SplashInit", then "SplashLoadFile" and
// "SplashSetFileJarName" with the image path in the thread's ANSI code page. True when the
// library now shows the splash. A library that loads holds its "SplashClose" in `closeEntry`
// and stays loaded, even when it lacks one of the other three entries and false is returned.
[[nodiscard]] bool startRuntimeSplash(const std::wstring& libraryPath,
                                      const std::wstring& imagePath, OneShotCall& closeEntry);

// Shows the splash the settings ask for: none without an image; the runtime's splash library
// beside the JVM library when preferred and complete; otherwise the own window, which is
// returned (null when there is none).
[[nodiscard]] std::unique_ptr<OwnSplashScreen> showSplash(const SplashSettings& settings,
                                                          std::wstring_view jvmLibraryPath,
                                                          OneShotCall& runtimeSplashClose,
                                                          std::atomic<HWND>& ownWindowHandle);

}  // namespace splash
