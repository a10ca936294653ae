#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace jvm {

// Relative class-path elements are resolved against the executable's folder; they are written
// with a leading backslash, such as \lib\app.jar.
[[nodiscard]] bool isRelativeClassPathElement(std::wstring_view element) noexcept;

// Relative elements and elements with "*" are looked up on disk; other absolute elements are
// taken as they stand, without an existence test.
[[nodiscard]] bool isSearchedClassPathElement(std::wstring_view element) noexcept;

// The file-search pattern of a searched element and the folder text each found name is
// appended to.
struct ClassPathSearch {
    std::wstring pattern;
    std::wstring prefix;
};
[[nodiscard]] ClassPathSearch classPathSearchFor(std::wstring_view element,
                                                 std::wstring_view executablePath);

// The pattern as handed to the file search: patterns of MAX_PATH characters or more get the
// long-path prefix ("\\?\UNC\" for a UNC path) so the search does not fail on their length.
[[nodiscard]] std::wstring longPathSearchPattern(std::wstring_view pattern);

// What composing the class path needs from the system: environment expansion and the names a
// file-search pattern matches, in the order the file system returns them.
struct ClassPathServices {
    std::function<std::wstring(const std::wstring&)> expand;
    std::function<std::vector<std::wstring>(const std::wstring& pattern)> findNames;
};

// The class path from the "Class Path" setting: ";"-separated elements, each expanded and
// resolved, joined with ";". With `embeddedJar` the executable itself comes first. The result
// never holds an empty element (see withoutEmptyElements); an element "." is kept as it stands,
// the one way to put the current folder on the class path.
[[nodiscard]] std::wstring composeClassPath(std::wstring_view setting,
                                            std::wstring_view executablePath, bool embeddedJar,
                                            const ClassPathServices& services);

// The class path with every empty element (leading, trailing or doubled ";") left out. HotSpot
// reads an empty element as the current folder, so classes and resources planted wherever the
// user starts the program from would be loaded.
[[nodiscard]] std::wstring withoutEmptyElements(std::wstring_view classPath);

}  // namespace jvm
