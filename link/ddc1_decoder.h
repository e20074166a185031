#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace velmora::link {

// DDC1: a monitor without DDC2 clocks its EDID out on SDA, one bit cell per
// vertical sync. Each byte is 8 data bits, most significant first, followed
// by one cell that is always high. Numbering the cells of one 128-byte cycle
// so that cell 9k is the high cell after byte k-1, byte k's bits sit in
// cells 9k+1 .. 9k+8 and a cycle has 1152 cells. The header bytes
// 00 FF FF FF FF FF FF 00 give the longest high run of the stream, cells
// 9 to 63: 55 cells.
//
// A run is the measured length of one stretch of constant SDA in ms (low 15
// bits), with bit 15 set for a high stretch.
inline constexpr std::uint16_t kHighRun = 0x8000;
inline constexpr std::int32_t kDdc1CellsPerByte = 9;
inline constexpr std::int32_t kDdc1CycleCells = 128 * kDdc1CellsPerByte;
inline constexpr std::int32_t kDdc1HeaderHighCells = 55;

// Cells a run stands for at bit time `bitTime` ms: its length divided by the
// bit time, to the nearest whole number with halves rounded up.
std::int32_t ddc1CellsOfRun(std::uint16_t run, std::int32_t bitTime);

// Rebuilds the 128 EDID bytes from runs captured in time order, anchored at
// the run `longestHigh` (the header's high run, the first cell of which is
// cell 9). Cells after the anchor are numbered forwards to the end of the
// capture; when the capture ends before cell 1152, the cells captured before
// the anchor are numbered backwards from cell 8, wrapping to 1151, so every
// run keeps its true place in the cycle. Byte 0 is always 0.
// `bitTime` must be positive.
std::array<std::uint8_t, 128> decodeDdc1Runs(std::span<const std::uint16_t> runs,
                                             std::size_t longestHigh, std::int32_t bitTime);

}  // namespace velmora::link
