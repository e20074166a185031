#include "tools/memory_transfer.h"

namespace velmora::tools {

namespace {
constexpr int kPageBytes = 256;
}  // namespace

void probeEepromAccessMode(model::FeatureInterpreter& interpreter, const link::MonitorLink& link,
                           link::ProgramFlags& flags) {
    // A monitor that does not understand the present request form stays
    // silent (NoResponse); any other failure says nothing about the form.
    if (interpreter.readMemory(0, 0)) return;
    if (link.errorCode() != link::LinkError::NoResponse) return;
    flags.eepromAccessMode = flags.eepromAccessMode == link::EepromAccessMode::ByPage
                                 ? link::EepromAccessMode::ByDevice
                                 : link::EepromAccessMode::ByPage;
}

std::optional<std::vector<std::uint8_t>> readMemoryRange(model::FeatureInterpreter& interpreter,
                                                         const MemoryRange& range, const ByteDone& byteDone) {
    if (!rangeFault(range).empty()) return std::nullopt;
    std::vector<std::uint8_t> bytes;
    bytes.reserve(static_cast<std::size_t>(range.endLocation() - range.startLocation() + 1));
    for (int location = range.startLocation(); location <= range.endLocation(); ++location) {
        const auto byte = interpreter.readMemory(static_cast<std::uint8_t>(location / kPageBytes),
                                         static_cast<std::uint8_t>(location % kPageBytes));
        if (byteDone) byteDone();
        if (!byte) return std::nullopt;
        bytes.push_back(*byte);
    }
    return bytes;
}

bool writeMemoryRange(model::FeatureInterpreter& interpreter, int start, std::span<const std::uint8_t> bytes,
                      const ByteDone& byteDone) {
    const auto count = static_cast<int>(bytes.size());
    if (start < 0 || start + count - 1 > kLastMemoryLocation) return false;
    int location = start;
    for (std::uint8_t byte : bytes) {
        const bool written = interpreter.writeMemory(static_cast<std::uint8_t>(location / kPageBytes),
                                                     static_cast<std::uint8_t>(location % kPageBytes), byte);
        if (byteDone) byteDone();
        if (!written) return false;
        ++location;
    }
    return true;
}

}  // namespace velmora::tools
