#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <string>
#include <variant>
#include <vector>

#include "model/feature_interpreter.h"
#include "tools/memory_image.h"
#include "tools/memory_transfer.h"

namespace velmora::tools {

// One byte that two images of the same range hold differently.
struct ByteDifference {
    int location = 0;  // page * 256 + address
    std::uint8_t before = 0;  // in the first image (the file)
    std::uint8_t after = 0;   // in the second (the other file, or the monitor)
    bool operator==(const ByteDifference&) const = default;
};

// Every differing byte in location order; a refusal when the two images do
// not hold the same range, which cannot be compared byte for byte.
std::variant<std::vector<ByteDifference>, std::string> compareImages(const MemoryImage& first,
                                                                     const MemoryImage& second);

// "page 0 address 3F: 0A -> FF"
std::string differenceText(const ByteDifference& difference);

// A written byte read back as something else (or not read at all).
struct WriteMismatch {
    int location = 0;
    std::uint8_t wanted = 0;
    std::optional<std::uint8_t> found;  // nothing: the read-back failed
};

// Reads back the byte just written at `location` (one request, the form of
// the write); nothing when it holds `wanted`.
std::optional<WriteMismatch> checkWrittenByte(model::FeatureInterpreter& interpreter, int location,
                                              std::uint8_t wanted);

// "page 1 address 10 holds 00 after FF was written" or "... could not be read back".
std::string mismatchText(const WriteMismatch& mismatch);

// A range written byte by byte, each byte read back before the next is
// written: the first write that failed or did not take ends it.
struct VerifiedRangeWrite {
    enum class Outcome { Done, WriteFailed, Mismatch };
    Outcome outcome = Outcome::Done;
    int location = 0;  // where it ended, when not Done
    WriteMismatch mismatch;  // when Mismatch
};
VerifiedRangeWrite writeVerifiedRange(model::FeatureInterpreter& interpreter, int start,
                                      std::span<const std::uint8_t> bytes, const ByteDone& byteDone = {});

// The window's report of a file compared with what the monitor holds over
// the file's range: every differing byte (file -> monitor), at most
// kShownDifferences lines and a count of the rest, or that they are equal,
// or that the monitor could not be read.
inline constexpr std::size_t kShownDifferences = 24;
std::string monitorComparisonText(model::FeatureInterpreter& interpreter, const MemoryImage& file,
                                  std::string_view fileName);

// The window's message for a byte that did not take.
std::string verifyFailedText(const WriteMismatch& mismatch);

}  // namespace velmora::tools
