#pragma once
#include <array>
#include <cstdint>
#include <span>

#include "bench/i2c_device.h"

namespace velmora::bench {

// A 256-byte EEPROM on the display data channel at 0xA0 + 2 x slot (write)
// and the next address (read): the first written byte sets the word address,
// later written bytes are stored, reads return bytes from the word address
// on; the address wraps within the 256 bytes. An absent EEPROM acknowledges
// nothing.
class EdidEeprom : public I2cDevice {
public:
    static constexpr std::size_t kBytes = 256;

    explicit EdidEeprom(std::uint8_t writeAddress) : address_(writeAddress) {}

    bool onAddress(std::uint8_t addressByte) override;
    bool onWrite(std::uint8_t value) override;
    std::uint8_t onRead() override { return contents[wordAddress_++]; }
    void onEnd() override {}

    // New contents from `bytes` (at most 256; the rest reads FFh, as an
    // erased EEPROM does), e.g. a real monitor's EDID.
    void load(std::span<const std::uint8_t> bytes);

    [[nodiscard]] std::uint8_t writeAddress() const { return address_; }
    [[nodiscard]] std::uint8_t wordAddress() const { return wordAddress_; }

    bool present = true;
    std::array<std::uint8_t, kBytes> contents{};

private:
    std::uint8_t address_;
    std::uint8_t wordAddress_ = 0;
    bool expectWordAddress_ = false;
};

// The bench monitor's EDID: a valid EDID 1.3 base block (header, vendor
// "VLM", analog input, 1280x1024 at 85 Hz preferred, range limits, name
// "VELMORA CRT", serial string, no extensions, correct checksum).
std::array<std::uint8_t, 128> benchEdidBaseBlock();

// Sum of all 128 bytes modulo 256; 0 for a valid block.
std::uint8_t edidBlockSum(std::span<const std::uint8_t, 128> block);

}  // namespace velmora::bench
