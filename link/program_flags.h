#pragma once

namespace velmora::link {

// The two forms of the one-byte EEPROM request the monitor may understand.
enum class EepromAccessMode {
    ByPage,
    ByDevice,
};

// Program-wide switches, one instance owned by the application context.
struct ProgramFlags {
    int writeEnabled = 1;   // 1: protected requests may be sent
    EepromAccessMode eepromAccessMode = EepromAccessMode::ByPage;
};

}  // namespace velmora::link
