#include "tools/memory_edid_logic.h"

#include "tools/memory_compare.h"

#include <cstdio>

#include "link/block_text.h"
#include "link/bus_stepping.h"
#include "link/jig_link.h"
#include "tools/box_readings.h"
#include "tools/memory_transfer.h"

namespace velmora::tools {

MemoryEdidLogic::MemoryEdidLogic(model::FeatureInterpreter& interpreter, link::MonitorLink& link,
                                 link::ProgramFlags& flags, const int& autoReading,
                                 platform::MessageSink& messages, MemoryEdidView& view)
    : interpreter_(interpreter), link_(link), flags_(flags), autoReading_(autoReading), messages_(messages),
      view_(view) {}

std::string MemoryEdidLogic::rowLabelsText() {
    std::string text;
    for (int row = 0; row < DumpText::kRows; ++row) {
        char label[8];
        std::snprintf(label, sizeof label, "%02X\r\n", row * DumpText::kCellsPerRow);
        text += label;
    }
    return text;
}

std::string MemoryEdidLogic::columnHeaderText() {
    std::string text;
    for (int column = 0; column < DumpText::kCellsPerRow; ++column) {
        char cell[8];
        std::snprintf(cell, sizeof cell, "%02X ", column);
        text += cell;
    }
    return text;
}

void MemoryEdidLogic::initialise() {
    firstPaintDone_ = false;
    if (autoReading_ != 0) {
        dump_.clear();
    } else {
        dump_.replace(link::unreadBlockText());
    }
    initialised_ = true;
    writeButtonsVisible_ = flags_.writeEnabled != 0;
    view_.dumpReplaced();
}

void MemoryEdidLogic::firstPaint(std::string_view pageText) {
    if (firstPaintDone_) return;
    firstPaintDone_ = true;
    pageTextChanged(pageText);
}

void MemoryEdidLogic::pageTextChanged(std::string_view pageText) {
    if (autoReading_ != 0 && initialised_ && firstPaintDone_) readMemory(pageText);
}

void MemoryEdidLogic::probeAccessMode() { probeEepromAccessMode(interpreter_, link_, flags_); }

void MemoryEdidLogic::readMemory(std::string_view pageText) {
    WaitScope wait(view_);
    // The page is not checked here: the request carries its low eight bits.
    const auto page = static_cast<std::uint8_t>(decimalReading(pageText));
    probeAccessMode();

    dump_.clear();
    view_.dumpCleared();
    int failedCells = 0;
    for (int row = 0; row < DumpText::kRows; ++row) {
        std::string cells;
        for (int column = 0; column < DumpText::kCellsPerRow; ++column) {
            if (failedCells >= kFailedCellsLimit) {
                cells += link::gridCell(std::nullopt);
                continue;
            }
            const auto address = static_cast<std::uint8_t>(row * DumpText::kCellsPerRow + column);
            const auto byte = interpreter_.readMemory(page, address);
            if (!byte) ++failedCells;
            cells += link::gridCell(byte);
        }
        dump_.appendRow(cells, row + 1 < DumpText::kRows);
        view_.dumpRowWritten(row);
    }
}

void MemoryEdidLogic::writeMemory(std::string_view pageText, std::string_view addressText,
                                  std::string_view dataText) {
    WaitScope wait(view_);
    // What is written is read strictly: an empty box or a character that is
    // no hexadecimal digit is refused, where the reading rule of the other
    // boxes would make "5G" the byte 67h, and a third digit is refused where
    // that rule would drop it ("1F0" would write at 1Fh). Two digits are
    // always a byte.
    const std::optional<std::int32_t> page = strictHexReading(pageText);
    if (!page || *page < kFirstPage || *page > kLastPage) {
        wait.restore();
        messages_.showMessage(kInvalidPage, platform::kErrorCaption);
        return;
    }
    const std::optional<std::int32_t> address = strictHexReading(addressText);
    if (!address) {
        wait.restore();
        messages_.showMessage(kInvalidAddress, platform::kErrorCaption);
        return;
    }
    const std::optional<std::int32_t> value = strictHexReading(dataText);
    if (!value) {
        wait.restore();
        messages_.showMessage(kInvalidData, platform::kErrorCaption);
        return;
    }
    if (writeGuard_) {
        // The guard may ask in a box of its own, which the wait cursor must not cover.
        wait.restore();
        if (!writeGuard_()) return;
    }
    // A failed write is not reported here: the refreshed cell shows what the
    // monitor holds afterwards.
    const auto cell = static_cast<std::uint8_t>(*address);
    (void)interpreter_.writeMemory(static_cast<std::uint8_t>(*page), cell, static_cast<std::uint8_t>(*value));
    wait.restore();

    const auto byte = interpreter_.readMemory(static_cast<std::uint8_t>(*page), cell);
    dump_.replaceCell(cell, link::gridCell(byte));
    view_.dumpCellChanged(DumpText::cellPosition(cell));
    if (verify_ && byte != static_cast<std::uint8_t>(*value)) {
        const WriteMismatch mismatch{*page * 256 + cell, static_cast<std::uint8_t>(*value), byte};
        messages_.showMessage(verifyFailedText(mismatch), platform::kErrorCaption);
    }
}

std::string MemoryEdidLogic::showByte(std::string_view pageText, std::string_view addressText) {
    const auto page = static_cast<std::uint8_t>(decimalReading(pageText));
    // The address is not checked: the request carries its low eight bits.
    const auto address = static_cast<std::uint8_t>(hexReading(addressText) & 0xFF);
    const auto byte = interpreter_.readMemory(page, address);
    return byte ? link::gridCell(byte) : std::string();
}

void MemoryEdidLogic::readEdid(std::string_view pageText) {
    dump_.replace(link::readEdidBlockText(link_, decimalReading(pageText)));
    view_.dumpReplaced();
}

MemoryRange MemoryEdidLogic::dialogRange(std::string_view pageText) {
    const std::int32_t page = decimalReading(pageText, pageText.size());
    return MemoryRange{page, page, 0x00, 0xFF};
}

// The DDC1 read and the bus steps are the jig's own; on a link without
// them these buttons do nothing.
void MemoryEdidLogic::readEdidDdc1() {
    if (link::JigTransport* jig = link_.jigControls()) (void)jig->readEdidDdc1();
}
void MemoryEdidLogic::busStart() { jigStep(link::busStepStart); }
void MemoryEdidLogic::busSendA0() { jigStep(link::busStepSendA0); }
void MemoryEdidLogic::busSendA1() { jigStep(link::busStepSendA1); }
void MemoryEdidLogic::busReceiveData() { jigStep(link::busStepReceiveData); }
void MemoryEdidLogic::busStop() { jigStep(link::busStepStop); }

void MemoryEdidLogic::jigStep(void (*step)(link::JigTransport&)) {
    if (link::JigTransport* jig = link_.jigControls()) step(*jig);
}

}  // namespace velmora::tools
