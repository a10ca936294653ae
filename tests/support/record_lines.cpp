#include "tests/support/record_lines.h"

#include <charconv>

namespace support {

std::vector<std::string> splitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.emplace_back(line);
        if (newline == std::string_view::npos) break;
        text.remove_prefix(newline + 1);
    }
    return lines;
}

std::vector<std::string> linesAfter(const std::vector<std::string>& lines,
                                    std::string_view prefix) {
    std::vector<std::string> found;
    for (const auto& line : lines) {
        if (line.starts_with(prefix)) found.push_back(line.substr(prefix.size()));
    }
    return found;
}

bool hasLine(const std::vector<std::string>& lines, std::string_view text) {
    return indexOf(lines, text).has_value();
}

std::optional<std::size_t> indexOf(const std::vector<std::string>& lines, std::string_view text,
                                   bool prefix) {
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (prefix ? lines[i].starts_with(text) : lines[i] == text) return i;
    }
    return std::nullopt;
}

std::optional<std::u16string> unitsFromHex(std::string_view hex) {
    if (hex.size() % 4 != 0) return std::nullopt;
    std::u16string units;
    for (std::size_t i = 0; i < hex.size(); i += 4) {
        unsigned value = 0;
        const char* first = hex.data() + i;
        const auto [end, error] = std::from_chars(first, first + 4, value, 16);
        if (error != std::errc() || end != first + 4) return std::nullopt;
        units += static_cast<char16_t>(value);
    }
    return units;
}

std::optional<std::vector<std::u16string>> recordedArguments(const std::vector<std::string>& lines,
                                                             std::string_view heading,
                                                             std::string_view item,
                                                             std::size_t occurrence) {
    const std::string head = std::string(heading) + " ";
    const std::string itemPrefix = std::string(item) + " ";
    std::size_t seen = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (!lines[i].starts_with(head)) continue;
        if (seen++ != occurrence) continue;
        std::size_t count = 0;
        const std::string_view number = std::string_view(lines[i]).substr(head.size());
        const auto [end, error] =
            std::from_chars(number.data(), number.data() + number.size(), count);
        if (error != std::errc() || end != number.data() + number.size()) return std::nullopt;
        std::vector<std::u16string> arguments;
        for (std::size_t k = 0; k < count; ++k) {
            if (i + 1 + k >= lines.size()) return std::nullopt;
            const std::string expected = itemPrefix + std::to_string(k) + " ";
            const std::string& line = lines[i + 1 + k];
            if (!line.starts_with(expected)) return std::nullopt;
            auto units = unitsFromHex(std::string_view(line).substr(expected.size()));
            if (!units) return std::nullopt;
            arguments.push_back(std::move(*units));
        }
        return arguments;
    }
    return std::nullopt;
}

std::vector<std::string> recordedOptions(const std::vector<std::string>& lines) {
    return linesAfter(lines, "option ");
}

}  // namespace support
