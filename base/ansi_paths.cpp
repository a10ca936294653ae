#include "base/ansi_paths.h"

namespace base {

size_t pathListStart(std::wstring_view option) noexcept {
    if (const auto equals = option.find(L'='); equals != std::wstring_view::npos) return equals + 1;
    if (const auto colon = option.find(L':'); colon != std::wstring_view::npos) return colon + 1;
    return std::wstring_view::npos;
}

PathFallback withRepresentablePaths(std::wstring_view option, const AnsiPathServices& services) {
    PathFallback result{std::wstring(option), {}};
    if (services.representable(option)) return result;
    const size_t start = pathListStart(option);
    if (start == std::wstring_view::npos) return result;

    std::wstring rebuilt(option.substr(0, start));
    size_t position = start;
    for (;;) {
        const size_t end = option.find(L';', position);
        std::wstring path(option.substr(
            position, end == std::wstring_view::npos ? std::wstring_view::npos : end - position));
        if (!path.empty() && !services.representable(path)) {
            std::wstring shortPath = services.shortForm(path);
            if (!shortPath.empty() && services.representable(shortPath)) {
                path = std::move(shortPath);
            } else if (result.unrepresentedPath.empty() && services.exists(path)) {
                result.unrepresentedPath = path;
            }
        }
        rebuilt += path;
        if (end == std::wstring_view::npos) break;
        rebuilt += L';';
        position = end + 1;
    }
    result.option = std::move(rebuilt);
    return result;
}

}  // namespace base
