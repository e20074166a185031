#pragma once
#include <gtest/gtest.h>

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "bench/virtual_bench.h"
#include "session/monitor_door.h"
#include "platform/message_sink.h"

namespace velmora::console::testing {

// The program's objects on a fresh virtual bench (virtual clock), the
// monitor answering as bus master, every message recorded.
struct ConsoleOnBench {
    ConsoleOnBench() {
        context.link.setReplyMode(link::ReplyMode::MasterRead);
        bench.log.clear();
    }

    void compile(const std::string& text) {
        context.model.compileText(text);
        ASSERT_FALSE(context.model.errorFlag) << context.model.errorText;
    }

    // Payloads (opcode first) of the requests the monitor received, in hex.
    [[nodiscard]] std::vector<std::string> payloads() const { return bench.log.requestPayloads(); }

    // Time of each request reaching the monitor, in microseconds.
    std::vector<std::int64_t> requestTimes() const {
        std::vector<std::int64_t> times;
        for (const auto& event : bench.log.eventsOf(bench::BenchEventKind::Request)) {
            times.push_back(event.timeMicroseconds);
        }
        return times;
    }

    bench::VirtualBench bench;
    platform::RecordingMessageSink messages;
    session::OpenedWay way = session::openWayToMonitor({std::nullopt, &bench}, messages);
    session::ProgramContext& context = *way.program;
};

// A fresh directory for model files, removed with everything in it.
class TemporaryDirectory {
public:
    TemporaryDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "velmora-console-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern + "/";
    }
    ~TemporaryDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    // Directory path ending in '/', as the program directory does.
    const std::string& path() const { return path_; }
    void write(const std::string& name, std::string_view contents) const {
        std::ofstream file(path_ + name, std::ios::binary);
        file << contents;
    }

private:
    std::string path_;
};

}  // namespace velmora::console::testing
