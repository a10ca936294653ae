#pragma once

#include <windows.h>

#include <string_view>

#include "base/handles_win.h"

namespace launcher {

// Writes text to the process's standard error as it stands: wide on a console, in the console's
// code page (the ANSI one without a console) when standard error is a file or a pipe. Nothing
// happens when there is no standard error.
void writeStandardError(std::wstring_view text);

// Joins the console of the process that started this one, if it has one, and opens the console
// for each standard handle the process was started without (a redirected one stays). False when
// there is no such console, as when Explorer started the program.
bool attachParentConsole();

// Inheritable copies of the standard handles, for a child that should write where this process
// writes even when that is a file or a pipe. A handle that is missing stays null.
struct StandardHandleCopies {
    base::UniqueKernelHandle input;
    base::UniqueKernelHandle output;
    base::UniqueKernelHandle error;
};
[[nodiscard]] StandardHandleCopies inheritableStandardHandles();

}  // namespace launcher
