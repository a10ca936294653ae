#include "jvm/class_path.h"

#include "base/path.h"
#include "base/split.h"
#include "base/text.h"
#include "jvm/native_paths.h"

namespace jvm {

bool isRelativeClassPathElement(std::wstring_view element) noexcept {
    if (element.size() < 2) return true;
    return element[1] != L':' && element.substr(0, 2) != L"\\\\";
}

bool isSearchedClassPathElement(std::wstring_view element) noexcept {
    return element.find(L'*') != std::wstring_view::npos || isRelativeClassPathElement(element);
}

ClassPathSearch classPathSearchFor(std::wstring_view element, std::wstring_view modulePath) {
    ClassPathSearch search;
    if (isRelativeClassPathElement(element)) {
        const std::wstring folder = cutAtLastBackslash(std::wstring(modulePath), 1);
        search.pattern = folder;
        search.pattern += element;
        search.prefix = folder + base::upToLastBackslash(element);
    } else {
        search.pattern = element;
        search.prefix = base::upToLastBackslash(element);
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

std::wstring composeClassPath(std::wstring_view setting, std::wstring_view modulePath,
                              bool embeddedJar, const ClassPathServices& services) {
    std::vector<std::wstring> elements;
    base::splitText(setting, L";", elements);

    std::wstring classPath;
    if (embeddedJar) {
        classPath = modulePath;
        classPath += L';';
    }
    for (const auto& raw : elements) {
        // An empty element would otherwise name the executable's folder itself.
        if (raw.empty()) continue;
        const std::wstring element = services.expand(raw);
        if (element.empty()) continue;
        if (!isSearchedClassPathElement(element)) {
            classPath += element;
            classPath += L';';
            continue;
        }
        const ClassPathSearch search = classPathSearchFor(element, modulePath);
        for (const auto& name : services.findNames(search.pattern)) {
            classPath += search.prefix;
            classPath += name;
            classPath += L';';
        }
    }
    return classPath;
}

}  // namespace jvm
