#pragma once

#include <windows.h>

#include <string>

namespace jvm {

// Expands the date-and-time pattern of a file name with the local time given. A formatting
// that fails (an invalid picture, a result longer than 260 characters) leaves an empty text
// between the two parts of the name.
void expandTimestampPattern(std::wstring& name, const SYSTEMTIME& time);

// Expands the patterns of the output and error file names with one local time taken for both,
// and only when one of them has a "%".
void expandTimestampPatterns(std::wstring& outputFile, std::wstring& errorFile);

}  // namespace jvm
