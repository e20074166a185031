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

// The bench's clock as the interpreter sees it, noting every sleep with the
// number of requests the monitor had received when it began.
class SleepRecordingClock : public platform::Clock {
public:
    SleepRecordingClock(platform::Clock& inner, const bench::BenchLog& log) : inner_(inner), log_(log) {}
    std::int32_t milliseconds() override { return inner_.milliseconds(); }
    void sleepMilliseconds(std::int32_t ms) override {
        sleeps.push_back({log_.requests().size(), ms});
        inner_.sleepMilliseconds(ms);
    }
    struct Sleep {
        std::size_t afterRequests;
        std::int32_t ms;
    };
    std::vector<Sleep> sleeps;

private:
    platform::Clock& inner_;
    const bench::BenchLog& log_;
};

// An interpreter over a link on a fresh virtual bench, with a model compiled
// from text and every message recorded.
struct InterpreterOnBench {
    explicit InterpreterOnBench(link::ReplyMode mode = link::ReplyMode::MasterRead) {
        link.setReplyMode(mode);
        bench.log.clear();
    }

    void compile(const std::string& text) {
        model.compileText(text);
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

    // What the monitor received and every wait of the interpreter, in order:
    // each request as its length byte and payload in hex ("82 01 10"), each
    // wait as "wait N" (milliseconds).
    std::vector<std::string> trace() const {
        std::vector<std::string> result;
        const auto requests = bench.log.requests();
        std::size_t sleep = 0;
        for (std::size_t i = 0; i <= requests.size(); ++i) {
            for (; sleep < clock.sleeps.size() && clock.sleeps[sleep].afterRequests == i; ++sleep) {
                result.push_back("wait " + std::to_string(clock.sleeps[sleep].ms));
            }
            if (i < requests.size() && requests[i].size() >= 4) {
                result.push_back(bench::hexBytes({requests[i].begin() + 2, requests[i].end() - 1}));
            }
        }
        return result;
    }

    bench::VirtualBench bench;
    platform::RecordingMessageSink messages;
    link::ProgramFlags flags;
    platform::LinkPlatform platform = bench.platform(messages);
    link::JigLink link{platform, flags};
    ModelDescription model;
    SleepRecordingClock clock{platform.clock, bench.log};
    FeatureInterpreter interpreter{link, model, flags, clock};
};

}  // namespace velmora::model::testing
