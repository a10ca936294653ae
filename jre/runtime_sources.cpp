#include "jre/runtime_sources.h"

#include <algorithm>

#include "base/text.h"

namespace jre {

namespace {

bool startsWithIgnoringCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           base::equalsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

void addOnce(std::vector<std::wstring>& folders, std::wstring folder) {
    if (folder.empty()) return;
    const bool known = std::any_of(folders.begin(), folders.end(), [&](const std::wstring& other) {
        return base::equalsIgnoringCase(other, folder);
    });
    if (!known) folders.push_back(std::move(folder));
}

}  // namespace

std::wstring_view runtimeSourceName(RuntimeSource source) noexcept {
    switch (source) {
        case RuntimeSource::Registry:
            return L"Registry";
        case RuntimeSource::JavaHome:
            return L"JAVA_HOME";
        case RuntimeSource::Path:
            return L"Path";
        case RuntimeSource::VendorFolders:
            return L"Folders";
    }
    return L"?";
}

std::vector<RuntimeSource> runtimeSourcesFromSetting(std::wstring_view value) {
    std::vector<RuntimeSource> sources;
    size_t start = 0;
    while (start <= value.size()) {
        size_t end = value.find_first_of(L";,", start);
        if (end == std::wstring_view::npos) end = value.size();
        const std::wstring word = base::trimmed(value.substr(start, end - start));
        for (const RuntimeSource source : kDefaultRuntimeSources) {
            if (base::equalsIgnoringCase(word, runtimeSourceName(source)) &&
                std::find(sources.begin(), sources.end(), source) == sources.end()) {
                sources.push_back(source);
            }
        }
        start = end + 1;
    }
    if (sources.empty())
        sources.assign(kDefaultRuntimeSources.begin(), kDefaultRuntimeSources.end());
    return sources;
}

bool isAbsoluteFolder(std::wstring_view path) noexcept {
    const auto isSeparator = [](wchar_t c) { return c == L'\\' || c == L'/'; };
    const auto isLetter = [](wchar_t c) {
        return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
    };
    if (path.size() >= 3 && isLetter(path[0]) && path[1] == L':' && isSeparator(path[2])) {
        return true;
    }
    // "\\server\share": a leading single backslash is relative to the current drive.
    return path.size() >= 3 && isSeparator(path[0]) && isSeparator(path[1]) &&
           !isSeparator(path[2]);
}

std::wstring sourceFolder(std::wstring_view text) {
    std::wstring folder = base::trimmed(text);
    if (folder.size() >= 2 && folder.front() == L'"' && folder.back() == L'"') {
        folder = base::trimmed(std::wstring_view(folder).substr(1, folder.size() - 2));
    }
    std::replace(folder.begin(), folder.end(), L'/', L'\\');
    if (!isAbsoluteFolder(folder)) return {};
    // "C:\jdk\\" and "C:\jdk" are one folder.
    while (folder.size() > 3 && folder.back() == L'\\') folder.pop_back();
    if (folder.back() != L'\\') folder += L'\\';
    return folder;
}

std::vector<std::wstring> pathEntries(std::wstring_view pathValue) {
    std::vector<std::wstring> entries;
    std::wstring entry;
    bool quoted = false;
    const auto finish = [&] {
        std::wstring folder = sourceFolder(entry);
        if (!folder.empty()) entries.push_back(std::move(folder));
        entry.clear();
    };
    for (const wchar_t c : pathValue) {
        if (c == L'"') {
            quoted = !quoted;
        } else if (c == L';' && !quoted) {
            finish();
        } else {
            entry += c;
        }
    }
    finish();
    return entries;
}

std::wstring parentFolder(std::wstring_view folder) {
    if (!folder.empty() && folder.back() == L'\\') folder.remove_suffix(1);
    const size_t cut = folder.rfind(L'\\');
    if (cut == std::wstring_view::npos) return {};
    std::wstring parent(folder.substr(0, cut + 1));
    // A share's root ("\\server\share\") is as far up as a UNC path goes.
    if (parent.starts_with(L"\\\\") && std::count(parent.begin(), parent.end(), L'\\') < 4) {
        return {};
    }
    return parent;
}

std::vector<std::wstring> programFolders(const SourceEnvironment& environment) {
    std::vector<std::wstring> folders;
    for (const std::wstring_view name : {L"ProgramW6432", L"ProgramFiles(x86)", L"ProgramFiles"}) {
        const auto value = environment.variable(name);
        if (value) addOnce(folders, sourceFolder(*value));
    }
    const auto local = environment.variable(L"LOCALAPPDATA");
    if (local) {
        std::wstring folder = sourceFolder(*local);
        if (!folder.empty()) addOnce(folders, folder + L"Programs\\");
    }
    return folders;
}

bool isWithinFolder(std::wstring_view path, std::wstring_view folder) {
    return !folder.empty() && startsWithIgnoringCase(path, folder);
}

bool isVendorRuntimeName(const VendorInstallFolder& vendor, std::wstring_view name) {
    return name != L"." && name != L".." && startsWithIgnoringCase(name, vendor.namePrefix);
}

}  // namespace jre
