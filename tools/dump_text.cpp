#include "tools/dump_text.h"

namespace velmora::tools {

namespace {
constexpr std::string_view kLineBreak = "\r\n";
}  // namespace

DumpText::CellPosition DumpText::cellPosition(std::uint8_t address) {
    return {address / kCellsPerRow, (address % kCellsPerRow) * kCellWidth};
}

std::size_t DumpText::cellOffset(std::uint8_t address) {
    const CellPosition position = cellPosition(address);
    return static_cast<std::size_t>(position.row * kRowStride + position.column);
}

int DumpText::rowCount() const {
    return static_cast<int>((text_.size() + kRowStride - 1) / kRowStride);
}

std::string_view DumpText::rowText(int row) const {
    if (row < 0 || row >= rowCount()) return {};
    const std::size_t start = static_cast<std::size_t>(row) * kRowStride;
    return std::string_view(text_).substr(start, kRowWidth);
}

void DumpText::appendRow(std::string_view cells, bool lineBreakAfter) {
    text_ += cells;
    if (lineBreakAfter) text_ += kLineBreak;
}

void DumpText::fillMissingRows() {
    const auto fullRows = static_cast<int>(text_.size() / kRowStride);
    const bool lastRowComplete = text_.size() % kRowStride >= static_cast<std::size_t>(kRowWidth);
    int rows = fullRows + (lastRowComplete ? 1 : 0);
    if (!lastRowComplete) text_.resize(static_cast<std::size_t>(fullRows) * kRowStride);
    for (; rows < kRows; ++rows) {
        if (rows > 0 && text_.size() % kRowStride != 0) text_ += kLineBreak;
        for (int cell = 0; cell < kCellsPerRow; ++cell) text_ += link::gridCell(std::nullopt);
    }
}

void DumpText::replaceCell(std::uint8_t address, std::string_view twoCharacters) {
    const std::size_t offset = cellOffset(address);
    if (offset + 2 > text_.size()) fillMissingRows();
    text_.replace(offset, 2, twoCharacters.substr(0, 2));
}

}  // namespace velmora::tools
