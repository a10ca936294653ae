// Feeds arbitrary bytes to the decoder of a base settings resource and the INI parser after it,
// as an executable rewritten by a packer might carry them.
#include <cstddef>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "settings/base_text.h"
#include "settings/text_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto bytes = std::as_bytes(std::span<const uint8_t>(data, size));
    const std::wstring text = settings::decodeBaseSettingsText(bytes);
    if (text.size() > size / 2) std::abort();
    settings::TextStore store;
    store.parse(text);
    std::vector<std::wstring> names;
    store.getSectionNames(names);
    return 0;
}
