#pragma once

#include <functional>
#include <string>
#include <string_view>

// The JVM takes its option strings in the ANSI code page. A path with characters outside that
// code page would reach it with question marks and name nothing; its short (8.3) form, where the
// file system has one, is plain ASCII and names the same file.
namespace base {

// Where the path list of an option begins: after its first "=" (-Dname=..., -XX:Name=...), or
// else after its first ":" (-Xbootclasspath/a:..., -javaagent:...); npos for an option without
// either. The list is split at ";".
[[nodiscard]] size_t pathListStart(std::wstring_view option) noexcept;

struct AnsiPathServices {
    // True when the code page represents every character of the text exactly.
    std::function<bool(std::wstring_view)> representable;
    // The path's short form; empty when the file system has none (or the path does not exist).
    std::function<std::wstring(const std::wstring&)> shortForm;
    std::function<bool(const std::wstring&)> exists;
};

struct PathFallback {
    std::wstring option;             // the option with short forms in place
    std::wstring unrepresentedPath;  // the first existing path with neither form, or empty
};

// Replaces each path in the option's path list that the code page cannot represent by its short
// form. The first existing path without a usable short form is named in the result and stays
// as it is, like the rest of such paths; a path that does not exist is left as it is, since the JVM
// can find nothing there in any spelling, and text that is no path at all (a window title, say)
// stays the same.
[[nodiscard]] PathFallback withRepresentablePaths(std::wstring_view option,
                                                  const AnsiPathServices& services);

}  // namespace base
