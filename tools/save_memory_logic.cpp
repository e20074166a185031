#include "tools/save_memory_logic.h"

#include <limits>

#include "platform/replacing_file.h"
#include "tools/box_readings.h"

namespace velmora::tools {

namespace {

constexpr int kLastPage = 3;
constexpr int kLastAddress = 0xFF;

void keepNumber(const std::optional<std::int64_t>& number, int& value) {
    if (!number) return;
    constexpr std::int64_t low = std::numeric_limits<int>::min();
    constexpr std::int64_t high = std::numeric_limits<int>::max();
    value = static_cast<int>(*number < low ? low : (*number > high ? high : *number));
}

bool pageInRange(int page) { return page >= 0 && page <= kLastPage; }
bool addressInRange(int address) { return address >= 0 && address <= kLastAddress; }

}  // namespace

SaveMemoryLogic::SaveMemoryLogic(model::FeatureInterpreter& interpreter, platform::MessageSink& messages,
                                 platform::FileChooser& chooser, WaitIndicator& wait,
                                 const MemoryRange& initialRange)
    : interpreter_(interpreter),
      messages_(messages),
      chooser_(chooser),
      wait_(wait),
      initialRange_(initialRange),
      range_(initialRange) {}

std::optional<std::string> SaveMemoryLogic::chooseFile() {
    auto path = chooser_.chooseOpenFile(std::string(kChooserTitle), std::string(kChooserInitialName),
                                        std::string(kChooserExtension));
    if (path) fileName_ = *path;
    return path;
}

MemoryAction SaveMemoryLogic::saveToFile(const RangeBoxTexts& boxes) {
    keepNumber(scanDecimal(boxes.fromPage), range_.fromPage);
    keepNumber(scanHex(boxes.fromAddress), range_.fromAddress);
    keepNumber(scanDecimal(boxes.toPage), range_.toPage);
    keepNumber(scanHex(boxes.toAddress), range_.toAddress);
    if (refuseBadRange()) return MemoryAction::Refused;
    return save();
}

MemoryAction SaveMemoryLogic::saveRange(const MemoryRange& range) {
    range_ = range;
    if (refuseBadRange()) return MemoryAction::Refused;
    return save();
}

bool SaveMemoryLogic::refuseBadRange() {
    if (!pageInRange(range_.fromPage) || !pageInRange(range_.toPage)) {
        messages_.showMessage(kPageOutOfRange, kApplicationCaption);
        return true;
    }
    if (!addressInRange(range_.fromAddress) || !addressInRange(range_.toAddress)) {
        messages_.showMessage(kAddressOutOfRange, kApplicationCaption);
        return true;
    }
    // A range that ends before it starts would give a file whose length does
    // not match its header; it is refused before anything is sent.
    const std::string_view fault = rangeFault(range_);
    if (!fault.empty()) {
        messages_.showMessage(fault, kApplicationCaption);
        return true;
    }
    return false;
}

MemoryAction SaveMemoryLogic::save() {
    WaitScope wait(wait_);
    // A target that cannot be written is refused before anything is sent.
    auto file = platform::ReplacingFile::create(fileName_);
    if (!file) {
        wait.restore();
        messages_.showMessage(cantOpenFileText(fileName_), platform::kErrorCaption);
        return MemoryAction::Refused;
    }
    if (beforeReading_) beforeReading_();
    const auto bytes = readMemoryRange(interpreter_, range_, byteDone_);
    if (!bytes) {
        // The temporary file goes with `file`; the chosen path is untouched.
        wait.restore();
        messages_.showMessage(kCommunicationError, platform::kErrorCaption);
        return MemoryAction::Failed;
    }
    if (!file->commit(formatMemoryImage(range_.startLocation(), range_.endLocation(), *bytes))) {
        wait.restore();
        messages_.showMessage(cantWriteFileText(fileName_, file->failureReason()), platform::kErrorCaption);
        return MemoryAction::Failed;
    }
    wait.restore();
    messages_.showMessage(kReadingSuccess, kSuccessCaption);
    return MemoryAction::Done;
}

}  // namespace velmora::tools
