#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "model/feature_interpreter.h"
#include "platform/file_chooser.h"
#include "platform/message_sink.h"
#include "tools/memory_dialog_common.h"
#include "tools/memory_transfer.h"

namespace velmora::tools {

// The Dump Memory dialog without its widgets: loads a memory image file,
// shows the range it holds, and writes its bytes back into the EEPROM as
// often as asked.
class DumpMemoryLogic {
public:
    DumpMemoryLogic(model::FeatureInterpreter& interpreter, platform::MessageSink& messages,
                    platform::FileChooser& chooser, const MemoryRange& initialRange);

    // What the four boxes show: the opening range until a file is loaded,
    // then the loaded file's range.
    [[nodiscard]] RangeBoxTexts boxTexts() const { return rangeBoxTexts(range_); }
    [[nodiscard]] const MemoryRange& range() const { return range_; }
    [[nodiscard]] const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    // The last chosen file, whether it loaded or not.
    [[nodiscard]] const std::string& fileName() const { return fileName_; }
    [[nodiscard]] bool hasLoadedImage() const { return loaded_; }

    // "..": lets the user choose a file and loads it. Nothing happens on
    // Cancel. Returns true when the file was loaded, so the window refreshes
    // its boxes and file name.
    bool chooseAndLoad();
    // Loads the file at `path`. A refused file is reported (caption "Error")
    // and leaves range, bytes and boxes as they were; the file name is the
    // new one all the same.
    bool loadFile(const std::string& path);

    // "Load from File": writes the most recently loaded bytes over their
    // range. Before any file was loaded nothing is sent.
    MemoryAction writeToMonitor();

    // Called after every byte written; may be left empty.
    void setByteDone(ByteDone byteDone) { byteDone_ = std::move(byteDone); }
    // Asked before the first byte of a write-back (the EEPROM backup check);
    // false writes nothing. With verify on, each byte is read back before
    // the next is written, and the first that did not take ends the write.
    void guardWrites(std::function<bool()> guard, bool verify) {
        writeGuard_ = std::move(guard);
        verify_ = verify;
    }

private:
    model::FeatureInterpreter& interpreter_;
    platform::MessageSink& messages_;
    platform::FileChooser& chooser_;
    MemoryRange range_;
    std::vector<std::uint8_t> bytes_;
    std::string fileName_;
    bool loaded_ = false;
    ByteDone byteDone_;
    std::function<bool()> writeGuard_;
    bool verify_ = false;
};

}  // namespace velmora::tools
