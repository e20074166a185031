#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "link/block_text.h"

namespace velmora::tools {

// The data box of the Memory & Edid window: the link's hex grid
// (link/block_text.h), 16 rows of 16 cells; rows are separated by CR LF, so
// in the flat text a row takes 50 characters and the cell of address a
// starts at (a mod 16) * 3 + (a div 16) * 50.
//
// The flat text is the box's contents as the operations build it (a whole
// EDID block ends in CR LF, a page read and the unread grid do not). A
// window whose edit control keeps a single character per line break renders
// the rows and places the caret with cellPosition() instead of flat offsets.
class DumpText {
public:
    static constexpr int kRows = link::kGridRows;
    static constexpr int kCellsPerRow = link::kGridCellsPerRow;
    static constexpr int kCellWidth = link::kGridCellWidth;
    static constexpr int kRowWidth = kCellsPerRow * kCellWidth;  // 48
    static constexpr int kRowStride = kRowWidth + 2;             // with CR LF

    struct CellPosition {
        int row = 0;
        int column = 0;  // character within the row
    };

    static CellPosition cellPosition(std::uint8_t address);
    static std::size_t cellOffset(std::uint8_t address);

    [[nodiscard]] const std::string& text() const { return text_; }
    [[nodiscard]] bool empty() const { return text_.empty(); }
    // Rows present, a partly written last row included.
    [[nodiscard]] int rowCount() const;
    // The cells of row r (48 characters), without the line break; empty for
    // a row that is not there.
    [[nodiscard]] std::string_view rowText(int row) const;

    void clear() { text_.clear(); }
    // Replaces the whole contents.
    void replace(std::string text) { text_ = std::move(text); }
    // Appends one row of cells, followed by CR LF when asked.
    void appendRow(std::string_view cells, bool lineBreakAfter);
    // Overwrites the two digits of one cell. Rows that are missing (the box
    // was never filled) are first filled with "XX " cells so that the cell
    // lands at its own place.
    void replaceCell(std::uint8_t address, std::string_view twoCharacters);

private:
    void fillMissingRows();

    std::string text_;
};

}  // namespace velmora::tools
