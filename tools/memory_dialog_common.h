#pragma once
#include <string>
#include <string_view>

#include "tools/memory_image.h"

namespace velmora::tools {

// What the Save Memory and Dump Memory dialogs share: their range boxes,
// the file chooser's settings, the outcome of an action and the texts of
// their message boxes.

// The four range boxes as the dialog shows them.
struct RangeBoxTexts {
    std::string fromPage;
    std::string fromAddress;
    std::string toPage;
    std::string toAddress;
    bool operator==(const RangeBoxTexts&) const = default;
};

// Pages "%d", addresses "%02X".
RangeBoxTexts rangeBoxTexts(const MemoryRange& range);

enum class MemoryAction {
    Done,     // the transfer ran to its end (or a file was loaded)
    Refused,  // nothing was sent: a bad range, a file that could not be used
    Failed,   // started but not completed: a monitor exchange failed part
              // way, or the finished file could not be written
};

inline constexpr std::string_view kChooserTitle = "Select File : ";
inline constexpr std::string_view kChooserInitialName = "*.mem";
inline constexpr std::string_view kChooserExtension = "mem";

inline constexpr std::string_view kPageOutOfRange = "Page must be 0,1,2, or 3";
inline constexpr std::string_view kAddressOutOfRange = "Addresse must be between 0 and FF";
inline constexpr std::string_view kCommunicationError = "I2C communication Error!";
inline constexpr std::string_view kReadingSuccess = "Reading Operation Success.";
inline constexpr std::string_view kWritingSuccess = "Writing Operation Success.";
inline constexpr std::string_view kNoMemoryFileLoaded =
    "No memory file is loaded: choose one with \"..\" before writing it to the monitor.";
inline constexpr std::string_view kSuccessCaption = "OK";
// An empty caption gives the box the application's name.
inline constexpr std::string_view kApplicationCaption = "";

// "Can't Open File : " followed by the name.
std::string cantOpenFileText(std::string_view fileName);
// A finished file that could not be written, with the reason:
// "Can't Write File : name (No space left on device)".
std::string cantWriteFileText(std::string_view fileName, std::string_view reason);

}  // namespace velmora::tools
