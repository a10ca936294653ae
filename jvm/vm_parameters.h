#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "jvm/memory_options.h"

namespace jvm {

// The end of the space-separated token that starts at `start`; double-quoted stretches may hold
// spaces, and a doubled quote at the end of a stretch does not end it early.
[[nodiscard]] size_t nextParameterEnd(std::wstring_view text, size_t start);

// Replaces every double-quoted stretch by its contents: -Dp="a b" becomes -Dp=a b.
void removeQuotes(std::wstring& token);

// The tokens of the "Virtual Machine Parameters" value, quotes still in place. Only the space
// separates; runs of spaces and spaces at either end yield no empty token.
[[nodiscard]] std::vector<std::wstring> splitVmParameters(std::wstring_view value);

// Memory figures are asked for only when a token needs them.
using MemoryFiguresSource = std::function<MemoryFigures()>;

// Unquotes one VM parameter, rewrites a percent memory option, records a "-Xss" stack size in
// `javaThreadStackSize` (the last one wins) and appends the token to `options`.
void addVmParameter(std::wstring token, const MemoryFiguresSource& memory,
                    std::vector<std::wstring>& options, uint32_t& javaThreadStackSize);

}  // namespace jvm
