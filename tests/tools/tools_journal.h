#pragma once
#include <string>
#include <vector>

#include "platform/message_sink.h"
#include "tools/memory_edid_logic.h"

namespace velmora::tools::testing {

// What a tool showed, in order: cursor changes, dump notifications and the
// message boxes the tool itself raised ("message: text | caption").
struct Journal : MemoryEdidView, platform::MessageSink {
    void showWaitCursor() override { events.push_back("wait"); }
    void restoreCursor() override { events.push_back("restore"); }
    void dumpReplaced() override { events.push_back("replaced"); }
    void dumpCleared() override { events.push_back("cleared"); }
    void dumpRowWritten(int row) override { events.push_back("row " + std::to_string(row)); }
    void dumpCellChanged(DumpText::CellPosition cell) override {
        events.push_back("cell " + std::to_string(cell.row) + "," + std::to_string(cell.column));
    }
    void showMessage(std::string_view text, std::string_view caption) override {
        events.push_back("message: " + std::string(text) + " | " + std::string(caption));
        messages.push_back({std::string(text), std::string(caption)});
    }

    std::vector<std::string> events;
    std::vector<platform::RecordedMessage> messages;
};

}  // namespace velmora::tools::testing
