#include "tools/memory_compare.h"

#include <cstdio>

#include "tools/memory_transfer.h"

namespace velmora::tools {

namespace {

std::string hex2(unsigned value) {
    char text[4];
    std::snprintf(text, sizeof text, "%02X", value & 0xFFu);
    return text;
}

std::string locationText(int location) {
    return "page " + std::to_string(location / 256) + " address " + hex2(static_cast<unsigned>(location % 256));
}

std::string rangeText(const MemoryImage& image) {
    char text[16];
    std::snprintf(text, sizeof text, "_%03X_%03X", static_cast<unsigned>(image.start) & 0xFFFu,
                  static_cast<unsigned>(image.end) & 0xFFFu);
    return text;
}

}  // namespace

std::variant<std::vector<ByteDifference>, std::string> compareImages(const MemoryImage& first,
                                                                     const MemoryImage& second) {
    if (first.start != second.start || first.end != second.end || first.bytes.size() != second.bytes.size()) {
        return "the ranges differ (" + rangeText(first) + " and " + rangeText(second) +
               "): only images of the same range can be compared";
    }
    std::vector<ByteDifference> differences;
    for (std::size_t i = 0; i < first.bytes.size(); ++i) {
        if (first.bytes[i] == second.bytes[i]) continue;
        differences.push_back({first.start + static_cast<int>(i), first.bytes[i], second.bytes[i]});
    }
    return differences;
}

std::string differenceText(const ByteDifference& difference) {
    return locationText(difference.location) + ": " + hex2(difference.before) + " -> " + hex2(difference.after);
}

std::optional<WriteMismatch> checkWrittenByte(model::FeatureInterpreter& interpreter, int location,
                                              std::uint8_t wanted) {
    const auto found = interpreter.readMemory(static_cast<std::uint8_t>(location / 256),
                                      static_cast<std::uint8_t>(location % 256));
    if (found == wanted) return std::nullopt;
    return WriteMismatch{location, wanted, found};
}

std::string mismatchText(const WriteMismatch& mismatch) {
    if (!mismatch.found) {
        return locationText(mismatch.location) + " could not be read back after " + hex2(mismatch.wanted) +
               " was written";
    }
    return locationText(mismatch.location) + " holds " + hex2(*mismatch.found) + " after " + hex2(mismatch.wanted) +
           " was written";
}

VerifiedRangeWrite writeVerifiedRange(model::FeatureInterpreter& interpreter, int start,
                                      std::span<const std::uint8_t> bytes, const ByteDone& byteDone) {
    int location = start;
    for (std::uint8_t byte : bytes) {
        const std::uint8_t single[] = {byte};
        if (!writeMemoryRange(interpreter, location, single, byteDone)) {
            return {VerifiedRangeWrite::Outcome::WriteFailed, location, {}};
        }
        if (auto mismatch = checkWrittenByte(interpreter, location, byte)) {
            return {VerifiedRangeWrite::Outcome::Mismatch, location, *mismatch};
        }
        ++location;
    }
    return {};
}

std::string monitorComparisonText(model::FeatureInterpreter& interpreter, const MemoryImage& file,
                                  std::string_view fileName) {
    const auto held = readMemoryRange(interpreter, MemoryRange::fromLocations(file.start, file.end));
    if (!held) return "The monitor's memory could not be read over the range of " + std::string(fileName) + ".";
    const auto compared = compareImages(file, MemoryImage{file.start, file.end, *held});
    const auto& differences = std::get<std::vector<ByteDifference>>(compared);
    if (differences.empty()) {
        return "The monitor holds what " + std::string(fileName) + " holds (" + std::to_string(file.bytes.size()) +
               " bytes).";
    }
    std::string text = std::to_string(differences.size()) + " of " + std::to_string(file.bytes.size()) +
                       " bytes differ (" + std::string(fileName) + " -> monitor):";
    for (std::size_t i = 0; i < differences.size() && i < kShownDifferences; ++i) {
        text += "\n" + differenceText(differences[i]);
    }
    if (differences.size() > kShownDifferences) {
        text += "\n... and " + std::to_string(differences.size() - kShownDifferences) + " more";
    }
    return text;
}

std::string verifyFailedText(const WriteMismatch& mismatch) {
    return "Verify failed: " + mismatchText(mismatch) + ". Nothing after it was written.";
}

}  // namespace velmora::tools
