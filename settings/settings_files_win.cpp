#include <windows.h>

#include "settings/settings_files_win.h"

#include "base/files_win.h"

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

void writeBackJrePath(const JrePathWriteBack& request) {
    const std::wstring section(kJreSection);
    const std::wstring key(kJrePathKey);
    for (const WriteBackTarget& target :
         jrePathWriteBackTargets(request, base::environmentVariable(L"APPDATA"))) {
        for (const auto& folder : target.foldersToCreate) {
            CreateDirectoryW(folder.c_str(), nullptr);
        }
        WritePrivateProfileStringW(section.c_str(), key.c_str(), request.jreFolder.c_str(),
                                   target.file.c_str());
    }
}

}  // namespace settings
