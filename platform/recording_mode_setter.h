#pragma once
#include <map>
#include <utility>

#include "platform/mode_setter.h"

namespace velmora::platform {

// A stand-in graphics card for tests: outputs with their modes and EDIDs as
// data, and a record of every change that reached it.
class RecordingModeSetter : public ModeSetter {
public:
    struct Output {
        VideoMode mode;  // the current mode
        std::optional<std::vector<std::uint8_t>> edid;
    };
    std::map<std::string, Output> outputs;
    std::vector<std::string> record;  // "set OUTPUT NAME", "restore OUTPUT NAME"
    std::string refusal;              // the next setMode fails with this, when not empty

    std::vector<std::string> connectedOutputs() override {
        std::vector<std::string> names;
        for (const auto& [name, output] : outputs) names.push_back(name);
        return names;
    }
    std::optional<std::vector<std::uint8_t>> outputEdid(const std::string& output) override {
        const auto found = outputs.find(output);
        return found == outputs.end() ? std::nullopt : found->second.edid;
    }
    std::string setMode(const std::string& output, const VideoMode& mode) override {
        const auto found = outputs.find(output);
        if (found == outputs.end()) return "no output " + output;
        if (!refusal.empty()) return std::exchange(refusal, {});
        if (!saved_) saved_ = std::pair{output, found->second.mode};
        found->second.mode = mode;
        record.push_back("set " + output + " " + mode.name);
        return {};
    }
    std::string restore() override {
        if (!saved_) return {};
        outputs[saved_->first].mode = saved_->second;
        record.push_back("restore " + saved_->first + " " + saved_->second.name);
        saved_.reset();
        return {};
    }

private:
    std::optional<std::pair<std::string, VideoMode>> saved_;
};

}  // namespace velmora::platform
