#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "bench/virtual_bench.h"
#include "link/jig_link.h"
#include "model/feature_interpreter.h"
#include "model/model_description.h"
#include "platform/message_sink.h"

namespace velmora::model::testing {

// An interpreter over a link on a fresh virtual bench, with a model compiled
// from text and every message recorded.
struct InterpreterOnBench {
    explicit InterpreterOnBench(link::ReplyMode mode = link::ReplyMode::MasterRead) {
        link.setReplyMode(mode);
        bench.log.clear();
    }

    void compile(const std::string& text) {
        model.CompileText(text);
        ASSERT_FALSE(model.errorFlag) << model.errorText;
    }

    // Payloads (opcode first) of the requests the monitor received, in hex.
    [[nodiscard]] std::vector<std::string> payloads() const { return bench.log.requestPayloads(); }

    // Length bytes of the requests the monitor received.
    std::vector<int> lengthBytes() const {
        std::vector<int> result;
        for (const auto& bytes : bench.log.requests()) result.push_back(bytes.at(2));
        return result;
    }

    // Milliseconds between consecutive requests reaching the monitor.
    std::vector<std::int64_t> gapsMilliseconds() const {
        std::vector<std::int64_t> gaps;
        std::int64_t previous = -1;
        for (const auto& event : bench.log.eventsOf(bench::BenchEventKind::Request)) {
            if (previous >= 0) gaps.push_back((event.timeMicroseconds - previous) / 1000);
            previous = event.timeMicroseconds;
        }
        return gaps;
    }

    bench::VirtualBench bench;
    platform::RecordingMessageSink messages;
    link::ProgramFlags flags;
    platform::LinkPlatform platform = bench.platform(messages);
    link::JigLink link{platform, flags};
    ModelDescription model;
    FeatureInterpreter interpreter{link, model, flags, platform.clock};
};

}  // namespace velmora::model::testing
