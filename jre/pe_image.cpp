#include "jre/pe_image.h"

#include <cstddef>

namespace jre {

namespace {

constexpr size_t kNewHeaderOffsetField = 0x3C;

uint32_t readLittleEndian32(std::span<const uint8_t> bytes, size_t offset) noexcept {
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

}  // namespace

std::optional<uint16_t> peMachine(std::span<const uint8_t> image) noexcept {
    if (image.size() < kNewHeaderOffsetField + 4) return std::nullopt;
    if (image[0] != 'M' || image[1] != 'Z') return std::nullopt;
    const uint32_t signatureOffset = readLittleEndian32(image, kNewHeaderOffsetField);
    // The signature (4 bytes) and the machine field (2 bytes) must both lie inside the image;
    // compared by subtraction so a huge offset cannot wrap around.
    if (image.size() < 6 || signatureOffset > image.size() - 6) return std::nullopt;
    const size_t at = signatureOffset;
    if (image[at] != 'P' || image[at + 1] != 'E' || image[at + 2] != 0 || image[at + 3] != 0) {
        return std::nullopt;
    }
    return static_cast<uint16_t>(image[at + 4] | image[at + 5] << 8);
}

bool needsPairForMachine(std::optional<uint16_t> libraryMachine, std::wstring_view pairProduct,
                         uint16_t launcherMachine) {
    if (pairProduct.empty() || !libraryMachine) return false;
    return *libraryMachine != launcherMachine;
}

bool canRunLibrary(std::optional<uint16_t> libraryMachine, std::wstring_view pairProduct,
                   uint16_t launcherMachine) {
    if (!libraryMachine || *libraryMachine == launcherMachine) return true;
    return !pairProduct.empty();
}

std::wstring machineName(uint16_t machine) {
    switch (machine) {
        case kMachineI386:
            return L"32-bit";
        case kMachineAmd64:
            return L"64-bit";
        case kMachineArm64:
            return L"ARM64";
        default:
            return L"machine " + std::to_wstring(machine);
    }
}

}  // namespace jre
