#include "tools/dump_memory_logic.h"

#include "tools/memory_compare.h"
#include "tools/memory_file.h"

namespace velmora::tools {

DumpMemoryLogic::DumpMemoryLogic(model::FeatureInterpreter& interpreter, platform::MessageSink& messages,
                                 platform::FileChooser& chooser, const MemoryRange& initialRange)
    : interpreter_(interpreter), messages_(messages), chooser_(chooser), range_(initialRange) {}

bool DumpMemoryLogic::chooseAndLoad() {
    const auto path = chooser_.chooseOpenFile(std::string(kChooserTitle), std::string(kChooserInitialName),
                                              std::string(kChooserExtension));
    if (!path) return false;
    return loadFile(*path);
}

bool DumpMemoryLogic::loadFile(const std::string& path) {
    fileName_ = path;
    auto result = readMemoryFile(path);
    if (auto* refusal = std::get_if<std::string>(&result)) {
        messages_.showMessage(*refusal, platform::kErrorCaption);
        return false;
    }
    auto& image = std::get<MemoryImage>(result);
    range_ = MemoryRange::fromLocations(image.start, image.end);
    bytes_ = std::move(image.bytes);
    loaded_ = true;
    return true;
}

MemoryAction DumpMemoryLogic::writeToMonitor() {
    // The boxes have no say here: the range is the loaded file's.
    if (!loaded_) {
        messages_.showMessage(kNoMemoryFileLoaded, platform::kErrorCaption);
        return MemoryAction::Refused;
    }
    if (writeGuard_ && !writeGuard_()) return MemoryAction::Refused;
    if (verify_) {
        const VerifiedRangeWrite write = writeVerifiedRange(interpreter_, range_.startLocation(), bytes_, byteDone_);
        if (write.outcome != VerifiedRangeWrite::Outcome::Done) {
            const bool lost = write.outcome == VerifiedRangeWrite::Outcome::Mismatch;
            messages_.showMessage(lost ? verifyFailedText(write.mismatch) : std::string(kCommunicationError),
                                  platform::kErrorCaption);
            return MemoryAction::Failed;
        }
        messages_.showMessage(kWritingSuccess, kSuccessCaption);
        return MemoryAction::Done;
    }
    if (!writeMemoryRange(interpreter_, range_.startLocation(), bytes_, byteDone_)) {
        messages_.showMessage(kCommunicationError, platform::kErrorCaption);
        return MemoryAction::Failed;
    }
    messages_.showMessage(kWritingSuccess, kSuccessCaption);
    return MemoryAction::Done;
}

}  // namespace velmora::tools
