#include <windows.h>

#include "settings/settings_files_win.h"

#include "base/files_win.h"
#include "base/handles_win.h"
#include "base/path.h"

namespace settings {

std::wstring perUserSettingsPath(std::wstring_view executablePath, std::wstring_view productName,
                                 std::wstring_view productCode, bool create) {
    PerUserSettingsLocation location = perUserSettingsLocation(
        base::environmentVariable(L"APPDATA"), executablePath, productName, productCode);
    if (create) {
        CreateDirectoryW(location.productFolder.c_str(), nullptr);
        CreateDirectoryW(location.codeFolder.c_str(), nullptr);
    }
    return std::move(location.file);
}

namespace {

// A settings file that does not exist yet is begun as UTF-16LE with its byte-order mark: the
// profile API then writes Unicode into it, where it would create an ANSI file that turns a
// folder name outside the ANSI code page into "?". Existing files keep their encoding.
void beginUnicodeFileIfMissing(const std::wstring& file) {
    static constexpr BYTE kByteOrderMark[] = {0xFF, 0xFE};
    const base::UniqueFileHandle handle(CreateFileW(base::withLongPathPrefixIfLong(file).c_str(),
                                                    GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!handle) return;  // there already, or not creatable: the write decides
    DWORD written = 0;
    WriteFile(handle.get(), kByteOrderMark, sizeof kByteOrderMark, &written, nullptr);
}

}  // namespace

void writeBackJrePath(const JrePathWriteBack& request) {
    const std::wstring section(kJreSection);
    const std::wstring key(kJrePathKey);
    for (const WriteBackTarget& target :
         jrePathWriteBackTargets(request, base::environmentVariable(L"APPDATA"))) {
        for (const auto& folder : target.foldersToCreate) {
            CreateDirectoryW(folder.c_str(), nullptr);
        }
        beginUnicodeFileIfMissing(target.file);
        WritePrivateProfileStringW(section.c_str(), key.c_str(), request.jreFolder.c_str(),
                                   target.file.c_str());
    }
}

}  // namespace settings
