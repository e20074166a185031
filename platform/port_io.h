#pragma once
#include <cstdint>

namespace velmora::platform {

// The first parallel port's two registers that the jig uses.
inline constexpr std::uint16_t kDataPort = 0x378;    // written only
inline constexpr std::uint16_t kStatusPort = 0x379;  // read only

// The whole hardware interface of the jig: one register write, one register read.
// Values are raw: nothing is inverted or masked on the way.
class PortIo {
public:
    virtual ~PortIo() = default;
    virtual std::uint8_t read8(std::uint16_t port) = 0;
    virtual void write8(std::uint16_t port, std::uint8_t value) = 0;
};

}  // namespace velmora::platform
