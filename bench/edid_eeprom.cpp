#include "bench/edid_eeprom.h"

#include <algorithm>
#include <string_view>

namespace velmora::bench {

bool EdidEeprom::onAddress(std::uint8_t addressByte) {
    if (!present || (addressByte & 0xFE) != address_) return false;
    expectWordAddress_ = (addressByte & 1) == 0;
    return true;
}

bool EdidEeprom::onWrite(std::uint8_t value) {
    if (expectWordAddress_) {
        wordAddress_ = value;
        expectWordAddress_ = false;
    } else {
        contents[wordAddress_++] = value;
    }
    return true;
}

void EdidEeprom::load(std::span<const std::uint8_t> bytes) {
    contents.fill(0xFF);
    std::copy_n(bytes.begin(), std::min(bytes.size(), kBytes), contents.begin());
}

std::uint8_t edidBlockSum(std::span<const std::uint8_t, 128> block) {
    unsigned sum = 0;
    for (std::uint8_t byte : block) sum += byte;
    return static_cast<std::uint8_t>(sum);
}

namespace {

// An 18-byte display descriptor holding up to 13 characters of text.
void putTextDescriptor(std::array<std::uint8_t, 128>& edid, std::size_t offset, std::uint8_t tag,
                       std::string_view text) {
    const std::uint8_t head[5] = {0x00, 0x00, 0x00, tag, 0x00};
    std::copy(std::begin(head), std::end(head), edid.begin() + static_cast<std::ptrdiff_t>(offset));
    for (std::size_t i = 0; i < 13; ++i) {
        std::uint8_t c = 0x20;
        if (i < text.size()) c = static_cast<std::uint8_t>(text[i]);
        else if (i == text.size()) c = 0x0A;
        edid[offset + 5 + i] = c;
    }
}

}  // namespace

std::array<std::uint8_t, 128> benchEdidBaseBlock() {
    std::array<std::uint8_t, 128> e{};
    const std::uint8_t fixed[] = {
        0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00,  // header
        0x59, 0x8D,                                      // vendor "VLM" (5-bit letters)
        0x34, 0x17,                                      // product 0x1734
        0x45, 0x23, 0x01, 0x00,                          // serial number
        12, 11,                                          // week 12 of 2001
        1, 3,                                            // EDID 1.3
        0x0E,  // analog 0.7 V, separate, composite and sync-on-green
        32, 24,  // 32 x 24 cm
        0x78,    // gamma 2.2
        0xEB,    // DPMS standby/suspend/off, RGB colour, preferred timing, GTF
        0xEE, 0x91, 0xA3, 0x54, 0x4C, 0x99, 0x26, 0x0F, 0x50, 0x54,  // chromaticity
        0xBF, 0xEF, 0x80,                                            // established timings
        0x61, 0x59,  // 1024x768 @ 85
        0x81, 0x80,  // 1280x1024 @ 60
        0xA9, 0x4F,  // 1600x1200 @ 75
        0x71, 0x4F,  // 1152x864 @ 75
        0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01,
        // detailed timing: 1280x1024 @ 85 Hz, 157.5 MHz, +H +V
        0x86, 0x3D, 0x00, 0xC0, 0x51, 0x00, 0x30, 0x40, 0x40, 0xA0, 0x13, 0x00,
        0x40, 0xF0, 0x10, 0x00, 0x00, 0x1E,
        // range limits: 50-160 Hz, 30-110 kHz, 230 MHz, GTF
        0x00, 0x00, 0x00, 0xFD, 0x00, 0x32, 0xA0, 0x1E, 0x6E, 0x17, 0x00, 0x0A,
        0x20, 0x20, 0x20, 0x20, 0x20, 0x20,
    };
    std::copy(std::begin(fixed), std::end(fixed), e.begin());
    putTextDescriptor(e, 90, 0xFC, "VELMORA CRT");
    putTextDescriptor(e, 108, 0xFF, "VB0012345");
    e[126] = 0;  // no extension blocks
    e[127] = static_cast<std::uint8_t>(0x100 - edidBlockSum(e));
    return e;
}

}  // namespace velmora::bench
