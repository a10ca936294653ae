// A test-only stand-in for a Java runtime's "splashscreen.dll": it shows nothing and records each
// call with its arguments, one line per call, so a test can check which entries the launcher
// called, with what, and in which order. The lines go to the file that the environment variable
// FAKESPLASH_RECORD names (a test may point it at the fake JVM's record to see both in one
// order), otherwise to "splashscreen.record" beside the DLL. Built with FAKESPLASH_NO_JAR_NAME it
// lacks "SplashSetFileJarName". With the environment variable FAKESPLASH_LOAD_FAILS set,
// "SplashLoadFile" reports failure (0), as for an image the library cannot read.
#include <windows.h>

#include <string>
#include <string_view>

#include "base/handles_win.h"

namespace {

HMODULE thisModule = nullptr;

std::wstring recordPath() {
    wchar_t named[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"FAKESPLASH_RECORD", named, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return std::wstring(named, length);
    std::wstring path(MAX_PATH, L'\0');
    const DWORD pathLength =
        GetModuleFileNameW(thisModule, path.data(), static_cast<DWORD>(path.size()));
    path.resize(pathLength);
    return path.substr(0, path.find_last_of(L'\\') + 1) + L"splashscreen.record";
}

// Narrow arguments are recorded byte for byte, as the launcher passed them.
void record(std::string_view line) noexcept {
    try {
        std::string text(line);
        text += '\n';
        base::UniqueFileHandle file(
            CreateFileW(recordPath().c_str(), FILE_APPEND_DATA,
                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return;
        DWORD written = 0;
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    } catch (...) {
        // Recording is best effort; it must never change what the launcher sees.
    }
}

std::string textOf(const char* text) { return text == nullptr ? "(null)" : text; }

}  // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved) noexcept {
    if (reason == DLL_PROCESS_ATTACH) thisModule = instance;
    // Only FreeLibrary detaches with a null reserved pointer; the end of the process does not.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr) record("splash library freed");
    return TRUE;
}

extern "C" {

__declspec(dllexport) void __cdecl SplashInit() { record("SplashInit"); }

__declspec(dllexport) int __cdecl SplashLoadFile(const char* fileName) {
    record("SplashLoadFile " + textOf(fileName));
    return GetEnvironmentVariableW(L"FAKESPLASH_LOAD_FAILS", nullptr, 0) > 0 ? 0 : 1;
}

#ifndef FAKESPLASH_NO_JAR_NAME
__declspec(dllexport) void __cdecl SplashSetFileJarName(const char* fileName, const char* jarName) {
    record("SplashSetFileJarName " + textOf(fileName) + "|" + textOf(jarName));
}
#endif

__declspec(dllexport) void __cdecl SplashClose() { record("SplashClose"); }

}  // extern "C"
