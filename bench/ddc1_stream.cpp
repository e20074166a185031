#include "bench/ddc1_stream.h"

namespace velmora::bench {

namespace {
constexpr std::int64_t kCycleCells = 128 * 9;
}

bool Ddc1Stream::cellLevel(std::int64_t cell) const {
    const std::int64_t byte = cell / 9;
    const std::int64_t position = cell % 9;
    // Cell 9k is the high cell that follows byte k-1.
    if (position == 0) return true;
    return ((eeprom_[static_cast<std::size_t>(byte)] >> (8 - position)) & 1) != 0;
}

bool Ddc1Stream::pullsSda() const {
    if (faults_.ddc1BitTimeMs <= 0 || faults_.noMonitor) return false;
    const std::int64_t now = time_.nowMicroseconds();
    if (faults_.ddc1SilentAfterMs > 0 && now >= static_cast<std::int64_t>(faults_.ddc1SilentAfterMs) * 1000) {
        return false;
    }
    const std::int64_t cellsElapsed = now / (static_cast<std::int64_t>(faults_.ddc1BitTimeMs) * 1000);
    std::int64_t cell = (cellsElapsed + phaseCells) % kCycleCells;
    if (cell < 0) cell += kCycleCells;
    return !cellLevel(cell);
}

}  // namespace velmora::bench
