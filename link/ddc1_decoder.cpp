#include "link/ddc1_decoder.h"

namespace velmora::link {

namespace {

constexpr std::int32_t kFirstHeaderCell = kDdc1CellsPerByte;  // cell 9
constexpr std::int8_t kUnknown = -1;

class CellMap {
public:
    CellMap() { cells_.fill(kUnknown); }

    void set(std::int32_t position, bool high) {
        if (position >= 0 && position < kDdc1CycleCells) cells_[static_cast<std::size_t>(position)] = high ? 1 : 0;
    }

    [[nodiscard]] std::array<std::uint8_t, 128> bytes() const {
        std::array<std::uint8_t, 128> result{};
        // Byte 0 (cells 0-8) is never taken from the stream: it is 0 in every EDID.
        for (std::size_t k = 1; k < result.size(); ++k) {
            std::uint8_t value = 0;
            for (std::int32_t bit = 1; bit <= 8; ++bit) {
                const auto cell = cells_[k * kDdc1CellsPerByte + static_cast<std::size_t>(bit)];
                value = static_cast<std::uint8_t>((value << 1) | (cell == 1 ? 1 : 0));
            }
            result[k] = value;
        }
        return result;
    }

private:
    std::array<std::int8_t, kDdc1CycleCells> cells_{};
};

}  // namespace

std::int32_t ddc1CellsOfRun(std::uint16_t run, std::int32_t bitTime) {
    const std::int32_t length = run & 0x7FFF;
    return (2 * length + bitTime) / (2 * bitTime);
}

std::array<std::uint8_t, 128> decodeDdc1Runs(std::span<const std::uint16_t> runs,
                                             std::size_t longestHigh, std::int32_t bitTime) {
    CellMap map;
    if (bitTime <= 0 || longestHigh >= runs.size()) return map.bytes();

    std::int32_t forward = kFirstHeaderCell;
    for (std::size_t i = longestHigh; i < runs.size() && forward < kDdc1CycleCells; ++i) {
        const bool high = (runs[i] & kHighRun) != 0;
        for (std::int32_t c = ddc1CellsOfRun(runs[i], bitTime); c > 0 && forward < kDdc1CycleCells; --c) {
            map.set(forward++, high);
        }
    }

    // The capture ended early in the cycle: the runs before the anchor hold
    // the cells just before cell 9, i.e. the end of the previous cycle.
    std::int32_t backward = kFirstHeaderCell - 1;
    std::int32_t remaining = kDdc1CycleCells - forward;
    for (std::size_t i = longestHigh; i-- > 0 && remaining > 0;) {
        const bool high = (runs[i] & kHighRun) != 0;
        for (std::int32_t c = ddc1CellsOfRun(runs[i], bitTime); c > 0 && remaining > 0; --c) {
            if (backward >= kFirstHeaderCell) {
                map.set(backward, high);
                --remaining;
            }
            backward = backward == 0 ? kDdc1CycleCells - 1 : backward - 1;
        }
    }
    return map.bytes();
}

}  // namespace velmora::link
