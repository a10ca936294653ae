#include <windows.h>

#include "base/files_win.h"
#include "base/handles_win.h"
#include "launcher/launch_log.h"
#include "launcher/launcher_app.h"

namespace launcher {

namespace {

// A lock on the whole file keeps two launches' records apart where appends alone might not
// (network shares); it is waited for a short while only, a launch never hangs on its log.
constexpr int kLockAttempts = 40;
constexpr DWORD kLockPauseMs = 25;

// The version resource the packer stamps into the executable.
std::wstring ownFileVersion() {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16));
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void* bytes = loaded != nullptr ? LockResource(loaded) : nullptr;
    return fileVersionOfResource(static_cast<const unsigned char*>(bytes),
                                 SizeofResource(nullptr, found));
}

std::wstring localTimeText() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[32];
    wsprintfW(text, L"%04u-%02u-%02u %02u:%02u:%02u.%03u", now.wYear, now.wMonth, now.wDay,
              now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
    return text;
}

std::wstring wideOfAnsi(const std::string& text) {
    if (text.empty()) return {};
    const int size =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size > 0 ? size : 0), L'\0');
    if (size > 0) {
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                            size);
    }
    return wide;
}

// A handle with append access only has every write land at the file's end, whatever other
// writers do meanwhile.
base::UniqueFileHandle openForAppending(const std::wstring& path) {
    return base::UniqueFileHandle(
        CreateFileW(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA,
                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr));
}

// One write of the whole record at the file's end.
void appendToFile(const std::wstring& path, const std::string& bytes) {
    base::UniqueFileHandle file = openForAppending(path);
    // A log folder the product names may not exist before its first launch.
    if (!file && GetLastError() == ERROR_PATH_NOT_FOUND &&
        base::createParentFolders(path) == ERROR_SUCCESS) {
        file = openForAppending(path);
    }
    // Only a file on disk: a pipe or device name could make the write wait for ever.
    if (!file || GetFileType(file.get()) != FILE_TYPE_DISK) return;
    OVERLAPPED whole{};
    bool locked = false;
    for (int attempt = 0; attempt < kLockAttempts && !locked; ++attempt) {
        locked = LockFileEx(file.get(), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0,
                            MAXDWORD, MAXDWORD, &whole) != 0;
        if (!locked) Sleep(kLockPauseMs);
    }
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    if (locked) UnlockFileEx(file.get(), 0, MAXDWORD, MAXDWORD, &whole);
}

}  // namespace

std::wstring launchLogPath() {
    wchar_t path[MAX_PATH * 4];
    const DWORD length = GetEnvironmentVariableW(L"VX_LAUNCHER_LOG", path, MAX_PATH * 4);
    if (length == 0 || length >= MAX_PATH * 4) return {};
    return std::wstring(path, length);
}

void LauncherApp::noteMessage(std::wstring_view text) noexcept {
    LauncherApp* app = current();
    if (app == nullptr || app->logPath_.empty()) return;
    try {
        AcquireSRWLockExclusive(&app->messagesLock_);
        app->shownMessages_.emplace_back(text);
    } catch (...) {
        // A message the log cannot hold is left out of it.
    }
    ReleaseSRWLockExclusive(&app->messagesLock_);
}

void LauncherApp::writeLaunchLog(std::optional<int32_t> exitCode) noexcept {
    if (logPath_.empty() || logWritten_.exchange(true)) return;
    try {
        LaunchRecord record;
        record.time = localTimeText();
        record.processId = GetCurrentProcessId();
        record.executable = executablePath_;
        record.executableVersion = ownFileVersion();
        record.settingsFiles = settingsFiles_;
        record.candidates = searchTrace_;
        record.secondInstance = singleInstance.role() == SingleInstance::Role::Second;
        record.runtime = runtime_.jvmLibraryPath;
        if (runtime_.chosenVersion.parts[0] != 0) {
            record.runtimeVersion = jre::versionText(runtime_.chosenVersion);
        }
        if (runtime_.relaunchViaPair) record.pairProduct = settings_.runtimeSearch.pairProduct;
        for (const std::string& option : jvm_.jvmOptions) {
            record.jvmOptions.push_back(wideOfAnsi(option));
        }
        record.mainClass = settings_.mainClass;
        AcquireSRWLockShared(&messagesLock_);
        record.messages = shownMessages_;
        ReleaseSRWLockShared(&messagesLock_);
        record.exitCode = exitCode;
        appendToFile(logPath_, launchRecordText(record));
    } catch (...) {
        // The log is never a reason for a launch to fail.
    }
}

}  // namespace launcher
