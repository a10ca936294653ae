#pragma once

#include <windows.h>

#include "base/unique_handle.h"

// One alias per kind of Windows handle. Every close function keeps the caller's
// GetLastError() value, so an owner going out of scope never hides the error of the call
// that failed just before.
namespace base {

namespace detail {
class LastErrorKeeper {
  public:
    LastErrorKeeper() noexcept : error_(GetLastError()) {}
    ~LastErrorKeeper() { SetLastError(error_); }
    LastErrorKeeper(const LastErrorKeeper&) = delete;
    LastErrorKeeper& operator=(const LastErrorKeeper&) = delete;

  private:
    DWORD error_;
};

template <typename T, T Invalid, auto Close>
struct HandleTraits {
    using Type = T;
    static Type invalid() noexcept { return Invalid; }
    static void close(Type value) noexcept {
        LastErrorKeeper keep;
        Close(value);
    }
};

// INVALID_HANDLE_VALUE is not a constant expression, so file and find handles get their own
// traits.
template <auto Close>
struct InvalidValueTraits {
    using Type = HANDLE;
    static Type invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(Type value) noexcept {
        LastErrorKeeper keep;
        Close(value);
    }
};

inline void closeHandle(HANDLE h) noexcept { CloseHandle(h); }
inline void findClose(HANDLE h) noexcept { FindClose(h); }
inline void unmapView(void* view) noexcept { UnmapViewOfFile(view); }
inline void freeLibrary(HMODULE module) noexcept { FreeLibrary(module); }
inline void regCloseKey(HKEY key) noexcept { RegCloseKey(key); }
inline void deleteObject(HGDIOBJ object) noexcept { DeleteObject(object); }
inline void destroyWindow(HWND window) noexcept { DestroyWindow(window); }
inline void deleteDc(HDC dc) noexcept { DeleteDC(dc); }
inline void releaseScreenDc(HDC dc) noexcept { ReleaseDC(nullptr, dc); }
}  // namespace detail

// Kernel objects whose "no handle" value is null: events, threads, processes, mappings.
using UniqueKernelHandle =
    UniqueHandle<detail::HandleTraits<HANDLE, nullptr, &detail::closeHandle>>;
// Files opened with CreateFileW, whose "no handle" value is INVALID_HANDLE_VALUE.
using UniqueFileHandle = UniqueHandle<detail::InvalidValueTraits<&detail::closeHandle>>;
using UniqueFindHandle = UniqueHandle<detail::InvalidValueTraits<&detail::findClose>>;
using UniqueMappedView = UniqueHandle<detail::HandleTraits<void*, nullptr, &detail::unmapView>>;
using UniqueModule = UniqueHandle<detail::HandleTraits<HMODULE, nullptr, &detail::freeLibrary>>;
using UniqueRegKey = UniqueHandle<detail::HandleTraits<HKEY, nullptr, &detail::regCloseKey>>;
using UniqueGdiObject = UniqueHandle<detail::HandleTraits<HGDIOBJ, nullptr, &detail::deleteObject>>;
// Memory device contexts from CreateCompatibleDC.
using UniqueMemoryDc = UniqueHandle<detail::HandleTraits<HDC, nullptr, &detail::deleteDc>>;
// The screen's device context from GetDC(nullptr).
using UniqueScreenDc = UniqueHandle<detail::HandleTraits<HDC, nullptr, &detail::releaseScreenDc>>;
using UniqueWindow = UniqueHandle<detail::HandleTraits<HWND, nullptr, &detail::destroyWindow>>;

}  // namespace base
