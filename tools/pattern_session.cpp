#include "tools/pattern_session.h"

#include <cstdio>

namespace velmora::tools {

namespace {

std::string number(double value, const char* format) {
    char text[32];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

}  // namespace

std::string rangeRefusal(const platform::VideoMode& mode, const std::optional<EdidRangeLimits>& limits) {
    if (!limits) return {};
    std::string outside;
    const double h = mode.hFreqKHz();
    const double v = mode.vFreqHz();
    // The limits are whole kHz and Hz; a rate rounds to them as the EDID's does.
    if (h < limits->minHFreqKHz - 0.5 || h > limits->maxHFreqKHz + 0.5) {
        outside = number(h, "%.2f kHz") + " is outside " + std::to_string(limits->minHFreqKHz) + "-" +
                  std::to_string(limits->maxHFreqKHz) + " kHz";
    } else if (v < limits->minVFreqHz - 0.5 || v > limits->maxVFreqHz + 0.5) {
        outside = number(v, "%.2f Hz") + " is outside " + std::to_string(limits->minVFreqHz) + "-" +
                  std::to_string(limits->maxVFreqHz) + " Hz";
    } else if (limits->maxPixelClockMHz > 0 && mode.pixelClockKHz > std::uint32_t(limits->maxPixelClockMHz) * 1000) {
        outside = number(mode.pixelClockKHz / 1000.0, "a pixel clock of %.2f MHz") + " is above " +
                  std::to_string(limits->maxPixelClockMHz) + " MHz";
    }
    if (outside.empty()) return {};
    return outside + ", the monitor's range limits in its EDID";
}

PatternSession::PatternSession(platform::ModeSetter& setter, std::string output, std::chrono::milliseconds confirmWithin)
    : setter_(setter), output_(std::move(output)), confirmWithin_(confirmWithin) {
    if (const auto edid = setter_.outputEdid(output_)) {
        const EdidDecoding decoding = decodeEdid(*edid);
        if (decoding.edid) limits_ = decoding.edid->rangeLimits;
    }
}

PatternSession::~PatternSession() { (void)end(); }

PatternSession::Outcome PatternSession::show(const ModelMode& mode, bool forced, Clock::time_point now) {
    Outcome outcome;
    const std::string line = "mode " + std::to_string(mode.number);
    if (!mode.mode) {
        outcome.refused = true;
        outcome.message = line + " is not available: " + mode.unavailable;
        return outcome;
    }
    if (const std::string outside = rangeRefusal(*mode.mode, limits_); !outside.empty() && !forced) {
        outcome.refused = true;
        outcome.message = line + " is refused: " + outside;
        return outcome;
    }
    if (shown_ && shown_->mode == mode.mode) {
        shown_ = mode;
        outcome.shown = true;
        return outcome;
    }
    if (std::string failure = setter_.setMode(output_, *mode.mode); !failure.empty()) {
        outcome.message = line + " could not be set: " + failure;
        return outcome;
    }
    shown_ = mode;
    deadline_ = now + confirmWithin_;
    outcome.shown = true;
    return outcome;
}

void PatternSession::confirm() { deadline_.reset(); }

std::optional<std::chrono::milliseconds> PatternSession::confirmationLeft(Clock::time_point now) const {
    if (!deadline_) return std::nullopt;
    if (now >= *deadline_) return std::chrono::milliseconds(0);
    return std::chrono::duration_cast<std::chrono::milliseconds>(*deadline_ - now);
}

std::string PatternSession::end() {
    shown_.reset();
    deadline_.reset();
    return setter_.restore();
}

}  // namespace velmora::tools
