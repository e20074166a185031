#pragma once
#include "platform/port_io.h"

namespace velmora::platform {

// A parallel port with nothing on it, for a program that reaches the
// monitor another way: writes go nowhere, the status reads as an empty port
// (pull-ups high, the inverted Busy line low).
class AbsentPort : public PortIo {
public:
    std::uint8_t read8(std::uint16_t) override { return 0x7F; }
    void write8(std::uint16_t, std::uint8_t) override {}
};

}  // namespace velmora::platform
