#include "settings/layered_read.h"

namespace settings {

std::wstring extensionSectionName(std::wstring_view section) {
    std::wstring name(section);
    name += L'+';
    return name;
}

void appendExtension(std::wstring& value, std::wstring_view extension) {
    if (extension.empty()) return;
    if (extension.front() != L' ') value += L' ';
    value += extension;
}

void layeredRead(const TextStore& baseLayer, const FileValueReader& readFile,
                 std::wstring_view section, std::wstring_view key, std::wstring& out) {
    out.clear();
    if (const std::wstring* baseValue = baseLayer.find(section, key)) out = *baseValue;

    std::wstring fileValue = readFile(section, key);
    if (!fileValue.empty()) {
        out = std::move(fileValue);
        return;
    }
    appendExtension(out, readFile(extensionSectionName(section), key));
}

}  // namespace settings
