#pragma once
#include <cstdint>

namespace velmora::link {

// How the monitor's reply comes back: the PC reads it as bus master at 0x6F
// (MasterRead), or the monitor becomes master and writes it to the PC.
enum class ReplyMode : std::uint8_t {
    SlaveReceive = 0,
    MasterRead = 1,
};

}  // namespace velmora::link
