#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "model/feature_interpreter.h"
#include "tools/memory_image.h"

namespace velmora::tools {

// One-byte EEPROM access through the interpreter, in the request form of the
// present EepromAccessMode. Each call sets the interpreter's page right
// before its request.

// Called after every byte of a range transfer (the command-line tool passes
// the link transcript on there); may be empty.
using ByteDone = std::function<void()>;

// The access-form probe that runs before a run of memory requests: reads
// page 0 address 0, and when the monitor stays silent (NoResponse) switches
// EepromAccessMode to the other request form. Any other failure says
// nothing about the form and leaves it. The byte read is not used.
void probeEepromAccessMode(model::FeatureInterpreter& interpreter, const link::MonitorLink& link,
                           link::ProgramFlags& flags);

// Every byte of a sound range (see rangeFault) in location order; nothing at
// the first failed read, after which no further request is sent.
std::optional<std::vector<std::uint8_t>> readMemoryRange(model::FeatureInterpreter& interpreter,
                                                         const MemoryRange& range,
                                                         const ByteDone& byteDone = {});

// Writes `bytes` from location `start` on, in location order; false at the
// first failed write, the bytes before it staying written. Bytes that would
// run past location 3FFh are refused before anything is sent.
[[nodiscard]] bool writeMemoryRange(model::FeatureInterpreter& interpreter, int start,
                                    std::span<const std::uint8_t> bytes, const ByteDone& byteDone = {});

}  // namespace velmora::tools
