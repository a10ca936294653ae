#include "launcher/single_instance.h"

#include <algorithm>
#include <limits>

#include "base/text.h"

namespace launcher::single_instance {

bool wanted(std::wstring_view applicationType, std::wstring_view singleInstance) {
    return applicationType != L"service" && singleInstance == L"yes";
}

std::wstring instanceName(std::wstring_view executablePath) {
    return base::replacedAll(std::wstring(executablePath), L'\\', L'_');
}

namespace {

// FNV-1a over the UTF-16 units: the same on every host, whatever the width of wchar_t.
std::uint64_t nameHash(std::wstring_view text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const wchar_t unit : text) {
        const auto value = static_cast<std::uint32_t>(unit) & 0xFFFFu;
        for (const std::uint32_t octet : {value & 0xFFu, value >> 8}) {
            hash ^= octet;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

// Enough of the end to recognise the executable and the kind of object.
constexpr std::size_t kShortNameTail = 64;

}  // namespace

std::wstring fittedName(std::wstring_view fullName, std::size_t limit) {
    if (fullName.size() <= limit) return std::wstring(fullName);
    std::wstring name = L"JavaLauncher_";
    const std::uint64_t hash = nameHash(fullName);
    for (int shift = 60; shift >= 0; shift -= 4) {
        name += L"0123456789abcdef"[(hash >> shift) & 0xFu];
    }
    name += L'_';
    name += fullName.substr(fullName.size() - std::min(kShortNameTail, fullName.size()));
    return name;
}

std::wstring mappingName(std::wstring_view instanceName) {
    return fittedName(instanceName, kObjectNameLimit);
}

std::wstring messageName(std::wstring_view instanceName) {
    return fittedName(instanceName, kMessageNameLimit);
}

std::wstring startedEventName(std::wstring_view instanceName) {
    return fittedName(std::wstring(instanceName) + L"_upr_evt", kObjectNameLimit);
}

std::wstring handOverMutexName(std::wstring_view instanceName) {
    return fittedName(std::wstring(instanceName) + L"_upr_mtx", kObjectNameLimit);
}

std::wstring copiedEventName(std::wstring_view instanceName) {
    return fittedName(std::wstring(instanceName) + L"_upr_ack", kObjectNameLimit);
}

std::uint32_t readField(std::span<const std::uint8_t> block, std::size_t offset) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(block[offset + i]) << (8 * i);
    }
    return value;
}

void writeField(std::span<std::uint8_t> block, std::size_t offset, std::uint32_t value) {
    for (std::size_t i = 0; i < 4; ++i) {
        block[offset + i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

std::size_t argumentBytes(const std::vector<std::wstring>& arguments) {
    constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
    std::size_t total = 2;
    for (const auto& argument : arguments) {
        if (argument.size() > (kMax - total) / 2 - 1) return kMax;
        total += argument.size() * 2 + 2;
    }
    return total;
}

std::optional<std::vector<std::uint8_t>> encodeArguments(
    const std::vector<std::wstring>& arguments) {
    if (argumentBytes(arguments) > kArgumentLimit) return std::nullopt;
    std::vector<std::uint8_t> area(kArgumentLimit, 0);
    std::size_t at = 0;
    for (const auto& argument : arguments) {
        // wchar_t is wider than UTF-16 on the host; only the low 16 bits are a unit.
        for (const wchar_t unit : argument) {
            const auto value = static_cast<std::uint32_t>(unit);
            area[at++] = static_cast<std::uint8_t>(value);
            area[at++] = static_cast<std::uint8_t>(value >> 8);
        }
        at += 2;  // the string's zero unit
    }
    return area;
}

std::vector<std::wstring> decodeArguments(std::span<const std::uint8_t> area) {
    std::vector<std::wstring> arguments;
    std::wstring current;
    const std::size_t units = area.size() / 2;
    auto unitAt = [&](std::size_t index) {
        return static_cast<wchar_t>(area[2 * index] | (area[2 * index + 1] << 8));
    };
    for (std::size_t i = 0; i < units; ++i) {
        const wchar_t unit = unitAt(i);
        if (unit != 0) {
            current += unit;
            continue;
        }
        arguments.push_back(std::move(current));
        current.clear();
        if (i + 1 >= units || unitAt(i + 1) == 0) return arguments;
    }
    // A foreign writer filled the whole area: keep what it wrote.
    if (!current.empty()) arguments.push_back(std::move(current));
    return arguments;
}

}  // namespace launcher::single_instance
