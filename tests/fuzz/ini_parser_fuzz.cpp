// Feeds arbitrary UTF-16 text to the INI parser and the layered read over it.
#include <cstdlib>
#include <string>
#include <vector>

#include "settings/layered_read.h"
#include "settings/text_store.h"
#include "tests/fuzz/fuzz_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::wstring text = fuzz::wideFromBytes(data, size);
    settings::TextStore store;
    store.parse(text);

    std::vector<std::wstring> names;
    store.getSectionNames(names);
    for (const auto& name : names) {
        std::wstring value;
        store.getString(name, L"k", value);
        // Values are trimmed before quotes are removed, so only a quoted value may begin with a
        // blank, and no value holds a NUL or exceeds the limit.
        if (value.find(L'\0') != std::wstring::npos) std::abort();
        if (value.size() > settings::kMaxSettingsValueChars) std::abort();
    }

    // Parsing again gives the same sections: the parse does not depend on earlier content.
    store.parse(text);
    std::vector<std::wstring> again;
    store.getSectionNames(again);
    if (again != names) std::abort();

    const settings::FileValueReader file = [&](std::wstring_view section, std::wstring_view) {
        return std::wstring(section.substr(0, 8));
    };
    std::wstring out;
    settings::layeredRead(store, file, names.empty() ? L"A" : names.front(), L"k", out);
    return 0;
}
