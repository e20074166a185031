#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/feature_interpreter.h"
#include "platform/file_chooser.h"
#include "platform/message_sink.h"
#include "tools/memory_dialog_common.h"
#include "tools/memory_transfer.h"
#include "tools/wait_indicator.h"

namespace velmora::tools {

// The Save Memory dialog without its widgets: reads a range of the EEPROM
// byte by byte and keeps it in a memory image file.
//
// The file is checked before the first request (a folder, a read-only file
// or folder is refused and nothing is sent) and only touched once every
// byte has been read: the text goes to a temporary file beside the target
// and replaces it in one rename, so a read that fails leaves an existing
// file exactly as it was.
class SaveMemoryLogic {
public:
    SaveMemoryLogic(model::FeatureInterpreter& interpreter, platform::MessageSink& messages,
                    platform::FileChooser& chooser, WaitIndicator& wait, const MemoryRange& initialRange);

    // What the four boxes show when the dialog opens.
    [[nodiscard]] RangeBoxTexts initialBoxTexts() const { return rangeBoxTexts(initialRange_); }
    [[nodiscard]] const MemoryRange& range() const { return range_; }
    [[nodiscard]] const std::string& fileName() const { return fileName_; }

    // The file name box changed.
    void setFileName(std::string_view text) { fileName_ = std::string(text); }
    // "..": the chosen path becomes the file name and is returned for the
    // box; nothing changes on Cancel.
    std::optional<std::string> chooseFile();

    // "Save to File": reads the range boxes (pages decimal, addresses hex,
    // eight characters each; a box without a number keeps its value), checks
    // the range and saves it.
    MemoryAction saveToFile(const RangeBoxTexts& boxes);
    // The same with numbers already read (the command-line tool).
    MemoryAction saveRange(const MemoryRange& range);

    // Called after every byte read; may be left empty.
    void setByteDone(ByteDone byteDone) { byteDone_ = std::move(byteDone); }
    // Called once the file is known to be writable, before the first byte
    // is read (the command-line tool probes the access form there); may be
    // left empty.
    void setBeforeReading(std::function<void()> beforeReading) { beforeReading_ = std::move(beforeReading); }

private:
    // Shows the message that refuses a bad range; true when it did.
    bool refuseBadRange();
    MemoryAction save();

    model::FeatureInterpreter& interpreter_;
    platform::MessageSink& messages_;
    platform::FileChooser& chooser_;
    WaitIndicator& wait_;
    MemoryRange initialRange_;
    MemoryRange range_;
    std::string fileName_;
    ByteDone byteDone_;
    std::function<void()> beforeReading_;
};

}  // namespace velmora::tools
