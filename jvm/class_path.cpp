#include "jvm/class_path.h"

#include <cstddef>

#include "base/path.h"
#include "base/split.h"

namespace jvm {

bool isRelativeClassPathElement(std::wstring_view element) noexcept {
    if (element.size() < 2) return true;
    return element[1] != L':' && element.substr(0, 2) != L"\\\\";
}

bool isSearchedClassPathElement(std::wstring_view element) noexcept {
    return element.find(L'*') != std::wstring_view::npos || isRelativeClassPathElement(element);
}

ClassPathSearch classPathSearchFor(std::wstring_view element, std::wstring_view executablePath) {
    ClassPathSearch search;
    if (isRelativeClassPathElement(element)) {
        const std::wstring folder = base::folderOf(executablePath);
        search.pattern = folder;
        search.pattern += element;
        search.prefix = folder + base::folderPrefixOf(element);
    } else {
        search.pattern = element;
        search.prefix = base::folderPrefixOf(element);
    }
    return search;
}

std::wstring longPathSearchPattern(std::wstring_view pattern) {
    if (pattern.size() < base::kMaxPath || base::hasLongPathPrefix(pattern)) {
        return std::wstring(pattern);
    }
    std::wstring prefixed(base::kLongPathPrefix);
    if (pattern.starts_with(L"\\\\")) {
        prefixed += L"UNC";
        prefixed += pattern.substr(1);
    } else {
        prefixed += pattern;
    }
    return prefixed;
}

std::wstring withoutEmptyElements(std::wstring_view classPath) {
    std::wstring result;
    size_t start = 0;
    while (start <= classPath.size()) {
        size_t end = classPath.find(L';', start);
        if (end == std::wstring_view::npos) end = classPath.size();
        if (end > start) {
            if (!result.empty()) result += L';';
            result += classPath.substr(start, end - start);
        }
        start = end + 1;
    }
    return result;
}

std::wstring composeClassPath(std::wstring_view setting, std::wstring_view executablePath,
                              bool embeddedJar, const ClassPathServices& services) {
    std::vector<std::wstring> elements;
    base::splitText(setting, L";", elements);

    std::wstring classPath;
    const auto append = [&classPath](std::wstring_view entry) {
        classPath += entry;
        classPath += L';';
    };
    if (embeddedJar) append(executablePath);
    for (const auto& raw : elements) {
        if (raw.empty()) continue;
        const std::wstring element = services.expand(raw);
        if (element.empty()) continue;
        // Searched like other relative elements, "." would become a pattern such as "C:\App."
        // that names nothing useful; written out, it asks for the current folder on purpose.
        if (element == L"." || !isSearchedClassPathElement(element)) {
            append(element);
            continue;
        }
        const ClassPathSearch search = classPathSearchFor(element, executablePath);
        for (const auto& name : services.findNames(search.pattern)) {
            append(search.prefix + name);
        }
    }
    // An expansion may itself hold separators, empty pieces among them.
    return withoutEmptyElements(classPath);
}

}  // namespace jvm
