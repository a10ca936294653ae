#include "settings/settings_files.h"

#include "base/path.h"

namespace settings {

namespace {

constexpr std::wstring_view kForbiddenInFolderName = L"\\?\"|><:/*";

}  // namespace

std::optional<std::wstring> mainSettingsPath(std::wstring_view executablePath) {
    const size_t dot = executablePath.rfind(L'.');
    if (dot == std::wstring_view::npos) return std::nullopt;
    std::wstring path(executablePath.substr(0, dot + 1));
    path += L"ini";
    return path;
}

std::wstring settingsFileBaseName(std::wstring_view executablePath) {
    std::wstring name = base::fileNameOf(executablePath);
    const size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos) name.resize(dot);
    return name + L".ini";
}

std::wstring productFolderName(std::wstring_view productName) {
    std::wstring folder;
    folder.reserve(productName.size());
    for (const wchar_t c : productName) {
        if (kForbiddenInFolderName.find(c) == std::wstring_view::npos) folder += c;
    }
    return folder;
}

PerUserSettingsLocation perUserSettingsLocation(std::wstring_view appData,
                                                std::wstring_view executablePath,
                                                std::wstring_view productName,
                                                std::wstring_view productCode) {
    PerUserSettingsLocation location;
    location.productFolder = std::wstring(appData) + L"\\" + productFolderName(productName);
    location.codeFolder = location.productFolder + L"\\" + std::wstring(productCode);
    location.file = location.codeFolder + L"\\" + settingsFileBaseName(executablePath);
    return location;
}

std::wstring pairProductBesideExecutable(std::wstring_view pairProduct,
                                         std::wstring_view executablePath) {
    // Drive-letter, UNC and root-relative paths say where they are themselves.
    const bool placed = pairProduct.empty() || pairProduct.front() == L'\\' ||
                        pairProduct.front() == L'/' ||
                        (pairProduct.size() >= 2 && pairProduct[1] == L':');
    if (placed) return std::wstring(pairProduct);
    return base::folderPrefixOf(executablePath) + std::wstring(pairProduct);
}

std::vector<WriteBackTarget> jrePathWriteBackTargets(const JrePathWriteBack& request,
                                                     std::wstring_view appData) {
    std::vector<WriteBackTarget> targets;
    const std::optional<std::wstring> mainFile = mainSettingsPath(request.executablePath);
    if (!mainFile) return targets;

    if (request.serviceMode) {
        targets.push_back({*mainFile, {}});
        if (!request.pairProduct.empty()) {
            const std::wstring pair =
                pairProductBesideExecutable(request.pairProduct, request.executablePath);
            if (auto pairFile = mainSettingsPath(pair)) {
                targets.push_back({std::move(*pairFile), {}});
            }
        }
        return targets;
    }

    const auto perUserTarget = [&](std::wstring_view executablePath) {
        PerUserSettingsLocation location = perUserSettingsLocation(
            appData, executablePath, request.productName, request.productCode);
        return WriteBackTarget{std::move(location.file),
                               {std::move(location.productFolder), std::move(location.codeFolder)}};
    };
    targets.push_back(perUserTarget(request.executablePath));
    if (!request.pairProduct.empty()) targets.push_back(perUserTarget(request.pairProduct));
    return targets;
}

}  // namespace settings
