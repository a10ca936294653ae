#pragma once

#include <windows.h>

namespace base {

// GetProcAddress with the one cast every caller needs. Null when the export is missing; the
// last error is then GetProcAddress's own.
template <typename Function>
[[nodiscard]] Function procAddress(HMODULE module, const char* name) noexcept {
    // FARPROC and the target are both function pointers; the round trip through void* is the
    // documented way to convert between unrelated function pointer types.
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace base
