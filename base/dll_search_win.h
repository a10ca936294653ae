#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "base/handles_win.h"

// Where the launcher's process looks for DLLs. The launcher is often started from a download
// folder or a network share it does not control, so nothing it loads may come from there.
namespace base {

// Takes the current directory out of the DLL search path of this process and of the processes
// it starts. The application folder, the system folders and Path stay, in that order, so the
// Java program's native libraries still find their neighbours through "System Path". The entry
// point calls this before anything loads a library by name.
void removeCurrentDirectoryFromDllSearch() noexcept;

// Loads a system library the launcher binds late (GDI+ for the splash, for instance) from the
// system folder only, never from the executable's folder or the current one. Empty with the
// loader's last error when it cannot be loaded.
[[nodiscard]] UniqueModule loadSystemLibrary(std::wstring_view fileName);

// Loads a library by its full path. Its own imports are looked for first in its own folder,
// then in `dependencyFolder` (a runtime's bin folder), then in the system folders and Path, as
// they would be for a program started from `dependencyFolder`; the executable's folder, which
// may hold an application's own copies of the same DLLs, is not searched for them. Null with
// the loader's last error on failure.
[[nodiscard]] HMODULE loadLibraryWithDependencyFolder(const std::wstring& path,
                                                      const std::wstring& dependencyFolder);

}  // namespace base
