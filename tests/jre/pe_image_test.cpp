#include "jre/pe_image.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace jre {
namespace {

std::vector<uint8_t> image(uint32_t signatureOffset, uint16_t machine, size_t size) {
    std::vector<uint8_t> bytes(size, 0);
    if (size >= 2) {
        bytes[0] = 'M';
        bytes[1] = 'Z';
    }
    if (size >= 0x40) {
        for (int i = 0; i < 4; ++i) {
            bytes[0x3C + static_cast<size_t>(i)] = static_cast<uint8_t>(signatureOffset >> (8 * i));
        }
    }
    if (uint64_t{signatureOffset} + 6 <= size) {
        bytes[signatureOffset] = 'P';
        bytes[signatureOffset + 1] = 'E';
        bytes[signatureOffset + 4] = static_cast<uint8_t>(machine);
        bytes[signatureOffset + 5] = static_cast<uint8_t>(machine >> 8);
    }
    return bytes;
}

TEST(PeMachine, ReadsMachineOfWellFormedImages) {
    EXPECT_EQ(peMachine(image(0x80, kMachineI386, 0x200)), kMachineI386);
    EXPECT_EQ(peMachine(image(0x80, kMachineAmd64, 0x200)), kMachineAmd64);
    EXPECT_EQ(peMachine(image(0x40, 0xAA64, 0x46)), 0xAA64);  // header ends exactly at the end
}

TEST(PeMachine, RejectsTruncatedAndGarbageBytes) {
    EXPECT_EQ(peMachine({}), std::nullopt);
    EXPECT_EQ(peMachine(image(0x80, kMachineI386, 2)), std::nullopt);
    EXPECT_EQ(peMachine(image(0x80, kMachineI386, 0x3F)), std::nullopt);
    EXPECT_EQ(peMachine(image(0x40, kMachineI386, 0x45)), std::nullopt);  // machine cut off
    EXPECT_EQ(peMachine(image(0x1000, kMachineI386, 0x200)), std::nullopt);
    EXPECT_EQ(peMachine(image(0xFFFFFFFF, kMachineI386, 0x200)), std::nullopt);
    EXPECT_EQ(peMachine(image(0xFFFFFFFC, kMachineI386, 0x200)), std::nullopt);

    auto noMz = image(0x80, kMachineI386, 0x200);
    noMz[0] = 'Z';
    EXPECT_EQ(peMachine(noMz), std::nullopt);
    auto badSignature = image(0x80, kMachineI386, 0x200);
    badSignature[0x82] = 'X';
    EXPECT_EQ(peMachine(badSignature), std::nullopt);
    const std::vector<uint8_t> text(4096, 'A');
    EXPECT_EQ(peMachine(text), std::nullopt);
}

TEST(NeedsPairForMachine, OnlyForAForeignImageWithAPairConfigured) {
    EXPECT_TRUE(needsPairForMachine(kMachineAmd64, L"app64.exe", kMachineI386));
    EXPECT_TRUE(needsPairForMachine(uint16_t{0xAA64}, L"app64.exe", kMachineI386));
    EXPECT_FALSE(needsPairForMachine(kMachineI386, L"app64.exe", kMachineI386));
    EXPECT_FALSE(needsPairForMachine(kMachineAmd64, L"", kMachineI386));
    EXPECT_FALSE(needsPairForMachine(std::nullopt, L"app64.exe", kMachineI386));
    // The 64-bit launcher keeps a 64-bit runtime and hands a 32-bit one over.
    EXPECT_FALSE(needsPairForMachine(kMachineAmd64, L"app.exe", kMachineAmd64));
    EXPECT_TRUE(needsPairForMachine(kMachineI386, L"app.exe", kMachineAmd64));
}

}  // namespace
}  // namespace jre
