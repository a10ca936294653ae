#include <windows.h>

#include "tests/support/fake_jvm/record_win.h"

#include <mutex>

#include "base/handles_win.h"

namespace fakejvm {
namespace {

std::wstring findDllFolder() {
    HMODULE self = nullptr;
    static const int anchor = 0;
    if (!GetModuleHandleExW(
            GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
            reinterpret_cast<LPCWSTR>(&anchor), &self)) {
        return {};
    }
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(self, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::mutex& recordMutex() {
    static std::mutex mutex;
    return mutex;
}

}  // namespace

const std::wstring& dllFolder() {
    static const std::wstring folder = findDllFolder();
    return folder;
}

void record(std::string_view line) noexcept {
    try {
        std::string text(line);
        text += '\n';
        const std::wstring path = dllFolder() + L"fakejvm.record";
        const std::lock_guard lock(recordMutex());
        base::UniqueFileHandle file(CreateFileW(
            path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return;
        DWORD written = 0;
        WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    } catch (...) {
        // Recording is best effort; it must never change what the launcher sees.
    }
}

std::string readScenarioText() {
    const std::wstring path = dllFolder() + L"fakejvm.scenario";
    base::UniqueFileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    // A scenario is a few lines; a runaway file is cut rather than read whole.
    while (text.size() < (1U << 20) && ReadFile(file.get(), buffer, sizeof buffer, &got, nullptr) &&
           got > 0) {
        text.append(buffer, got);
    }
    return text;
}

void fail(std::string_view line, unsigned exitCode) noexcept {
    record(line);
    ExitProcess(exitCode);
}

}  // namespace fakejvm
