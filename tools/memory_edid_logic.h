#pragma once
#include <functional>
#include <string>
#include <string_view>

#include "link/monitor_link.h"
#include "link/program_flags.h"
#include "model/feature_interpreter.h"
#include "platform/message_sink.h"
#include "tools/dump_text.h"
#include "tools/memory_image.h"
#include "tools/wait_indicator.h"

namespace velmora::tools {

// What the Memory & Edid window shows of the logic's work. Every call comes
// after the dump text has changed, so the window can repaint at once (a page
// read shows its rows one by one).
class MemoryEdidView : public WaitIndicator {
public:
    // The whole dump was replaced (initialisation, EDID block).
    virtual void dumpReplaced() {}
    // A page read has emptied the dump; its rows follow.
    virtual void dumpCleared() {}
    // Row `row` of a page read is complete.
    virtual void dumpRowWritten(int /*row*/) {}
    // One cell was refreshed after a write; the window scrolls it into view.
    virtual void dumpCellChanged(DumpText::CellPosition /*cell*/) {}
};

inline constexpr std::string_view kInvalidPage = "Invalid Page No.";
inline constexpr std::string_view kInvalidAddress = "Invalid Address";
inline constexpr std::string_view kInvalidData = "Invalid Data Value";

// The Memory & Edid window without its widgets: one page of the monitor's
// EEPROM read into the dump and written byte by byte, the EDID block, and the
// ranges the Save Memory and Dump Memory dialogs open with. The window hands
// in the texts of its Page, Addr and Data boxes; pages, addresses and values
// are read from them exactly as typed (see box_readings.h).
class MemoryEdidLogic {
public:
    static constexpr int kFirstPage = 0;
    static constexpr int kLastPage = 3;  // the spin's range
    static constexpr std::string_view kInitialPageText = "0";
    // A page read stops sending requests after this many failed cells.
    static constexpr int kFailedCellsLimit = 3;

    // `autoReading` mirrors the main window's Auto Reading box (1: ticked).
    MemoryEdidLogic(model::FeatureInterpreter& interpreter, link::MonitorLink& link, link::ProgramFlags& flags,
                    const int& autoReading, platform::MessageSink& messages, MemoryEdidView& view);
    MemoryEdidLogic(const MemoryEdidLogic&) = delete;
    MemoryEdidLogic& operator=(const MemoryEdidLogic&) = delete;

    // "00" to "F0", each followed by CR LF.
    static std::string rowLabelsText();
    // "00 " to "0F ".
    static std::string columnHeaderText();

    // Window initialisation: the first paint is still to come; the dump holds
    // the "XX " grid when Auto Reading is off and stays empty when it is on.
    // Decides once whether the write buttons are shown. Sends nothing.
    void initialise();
    [[nodiscard]] bool writeButtonsVisible() const { return writeButtonsVisible_; }
    [[nodiscard]] bool firstPaintDone() const { return firstPaintDone_; }

    // The first paint: from now on a page change reads the page (and this
    // one does, with Auto Reading on). Later paints may call it again; only
    // the first after initialise() counts.
    void firstPaint(std::string_view pageText);
    // The Page box's text changed (typing or the spin): reads the page when
    // Auto Reading is on and the window has been painted.
    void pageTextChanged(std::string_view pageText);

    // "Read Memory": probes page 0 address 0 (a NoResponse switches the
    // request form), then reads the page row by row into the dump.
    void readMemory(std::string_view pageText);
    // "Write Memory": checks page, address and value, writes the byte and
    // refreshes its cell from a fresh read. The three boxes must hold one or
    // two hexadecimal digits, blanks after them aside; anything else is
    // refused and nothing is sent.
    void writeMemory(std::string_view pageText, std::string_view addressText, std::string_view dataText);
    // The Addr box's text changed: reads the byte and gives the Data box's
    // new text ("%02X " or empty when the read failed).
    [[nodiscard]] std::string showByte(std::string_view pageText, std::string_view addressText);
    // "Read EDID(DDC2B)": the Page box names the block.
    void readEdid(std::string_view pageText);
    // The range "Save Memory" and "Load File" open their dialogs with: the
    // whole page named by the Page box's full text.
    [[nodiscard]] static MemoryRange dialogRange(std::string_view pageText);

    // Behind the hidden buttons; they show nothing, and do nothing on a link
    // without the jig's controls.
    void readEdidDdc1();
    void busStart();
    void busSendA0();
    void busSendA1();
    void busReceiveData();
    void busStop();

    [[nodiscard]] const DumpText& dump() const { return dump_; }

    // Asked before Write Memory sends its byte (the EEPROM backup check);
    // false keeps the byte unwritten. May be left empty.
    void setWriteGuard(std::function<bool()> guard) { writeGuard_ = std::move(guard); }
    // With verify on, a refreshed cell that does not hold the byte written
    // is reported (caption "Error").
    void setVerify(bool verify) { verify_ = verify; }

private:
    void probeAccessMode();
    void jigStep(void (*step)(link::JigTransport&));

    model::FeatureInterpreter& interpreter_;
    link::MonitorLink& link_;
    link::ProgramFlags& flags_;
    const int& autoReading_;
    platform::MessageSink& messages_;
    MemoryEdidView& view_;
    DumpText dump_;
    bool initialised_ = false;
    bool firstPaintDone_ = false;
    bool writeButtonsVisible_ = true;
    std::function<bool()> writeGuard_;
    bool verify_ = false;
};

}  // namespace velmora::tools
