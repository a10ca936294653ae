#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace jvm {

// The machine's memory in bytes, as GlobalMemoryStatus reports it. 64 bits wide so that the
// 64-bit launcher, whose figures exceed 4 GB, sizes from the real values.
struct MemoryFigures {
    uint64_t totalPhysical = 0;
    uint64_t availableVirtual = 0;
};

// "-Xms", "-Xmx" or "-Xss" followed by a share of memory and the unit letter P/p (physical
// memory) or T/t (available virtual address space), such as -Xmx50:256:1024P.
[[nodiscard]] bool isPercentMemoryOption(std::wstring_view token) noexcept;

// The option name (with anything before the first digit or ":") and the ":"-separated numbers
// that follow it up to the unit letter. Numbers wrap at 32 bits like the JVM's own parsing of
// such text would; characters other than digits and ":" are skipped.
struct NumberList {
    size_t prefixLength = 0;
    std::vector<uint32_t> numbers;
};
[[nodiscard]] NumberList parseNumberList(std::wstring_view text);

// Share in percent of `baseKilobytes`, then capped at `upperMegabytes` and raised to
// `lowerMegabytes` (0: no bound). The lower bound is applied last, so it wins a conflict.
[[nodiscard]] uint64_t percentMemoryKilobytes(uint64_t baseKilobytes, uint32_t sharePercent,
                                              uint32_t lowerMegabytes,
                                              uint32_t upperMegabytes) noexcept;

// Replaces a percent memory option by the absolute size, e.g. -Xmx50P -> -Xmx1048576K.
void rewritePercentMemoryOption(std::wstring& token, const MemoryFigures& figures);

// The thread stack size in bytes that a "-Xss" option asks for; 0 when the value is not a plain
// size (the JVM library's default is used then). Multiplication wraps at 32 bits.
[[nodiscard]] uint32_t stackSizeFromOption(std::wstring_view token) noexcept;

}  // namespace jvm
