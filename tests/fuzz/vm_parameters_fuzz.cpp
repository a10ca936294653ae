// Feeds arbitrary UTF-16 text to the "Virtual Machine Parameters" splitter and to each token's
// handling: unquoting, percent memory rewriting, the stack size, and the code-page fallback
// that the finished option goes through.
#include <cstdlib>
#include <string>
#include <vector>

#include "base/ansi_paths.h"
#include "jvm/vm_parameters.h"
#include "tests/fuzz/fuzz_text.h"

namespace {

bool ascii(std::wstring_view text) {
    for (const wchar_t c : text) {
        if (c > 0x7F) return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = fuzz::wideFromBytes(data, size);
    const auto tokens = jvm::splitVmParameters(text);
    size_t characters = 0;
    for (const auto& token : tokens) {
        // Only spaces separate: a token is never empty and never holds a separating space
        // outside quotes at its ends.
        if (token.empty() || token.front() == L' ') std::abort();
        characters += token.size();
    }
    if (characters > text.size()) std::abort();

    // Fixed figures keep the run deterministic; 64 GB physical, 2 GB virtual.
    const jvm::MemoryFiguresSource memory = [] {
        return jvm::MemoryFigures{uint64_t{64} << 30, uint64_t{2} << 30};
    };
    std::vector<std::wstring> options;
    uint32_t stackSize = 0;
    for (const auto& token : tokens) jvm::addVmParameter(token, memory, options, stackSize);
    if (options.size() != tokens.size()) std::abort();

    const base::AnsiPathServices services{
        ascii,
        [](const std::wstring& path) {
            // A short form exists for every other path; half of them are no help.
            if (path.size() % 2 == 0) return std::wstring();
            return path.size() % 4 == 1 ? std::wstring(L"C:\\SHORT~1") : path;
        },
        [](const std::wstring& path) { return path.size() % 3 != 0; }};
    for (const auto& option : options) {
        const base::PathFallback fallback = base::withRepresentablePaths(option, services);
        if (ascii(option) && fallback.option != option) std::abort();
        if (!fallback.unrepresentedPath.empty() &&
            option.find(fallback.unrepresentedPath) == std::wstring::npos) {
            std::abort();
        }
    }
    return 0;
}
