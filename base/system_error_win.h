#pragma once

#include <windows.h>

#include <string>

namespace base {

// The system's description of a Win32 error code, such as "The system cannot find the file
// specified.", without the line break FormatMessageW ends it with; "error <code>" when the
// system has no text for it.
[[nodiscard]] std::wstring systemErrorText(DWORD error);

}  // namespace base
