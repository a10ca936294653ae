// Feeds arbitrary registry bytes to the link-colour rule: the value comes from the user's
// registry, where any program can write anything of any type and size.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "ui/hyperlink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    // The first byte picks the registry type (REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD...).
    const uint32_t type = data[0] % 8u;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto colour = ui::linkColorFromRegistryValue(type, bytes);
    // A colour is three 8-bit channels and nothing above them.
    if (colour && (*colour >> 24) != 0) std::abort();
    return 0;
}
