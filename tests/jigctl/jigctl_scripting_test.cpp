// velmora-jigctl in scripts: --json documents, the --stats line, and the
// progress line that only a terminal gets.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include <nlohmann/json.hpp>

#include "console/page_lists.h"
#include "process_runner.h"
#include "apps/velmora-jigctl/jigctl_stats.h"

namespace velmora::apps::jigctl {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using testing::ProcessResult;
using testing::joined;
using testing::runJigctl;
using testing::sampleModel;

// Every key of `expected` is in `actual` with the same value; arrays match
// element by element for as many elements as `expected` has.
bool containsJson(const json& actual, const json& expected) {
    if (expected.is_object()) {
        if (!actual.is_object()) return false;
        for (const auto& [key, value] : expected.items()) {
            if (!actual.contains(key) || !containsJson(actual[key], value)) return false;
        }
        return true;
    }
    if (expected.is_array()) {
        if (!actual.is_array() || actual.size() < expected.size()) return false;
        for (std::size_t i = 0; i < expected.size(); ++i) {
            if (!containsJson(actual[i], expected[i])) return false;
        }
        return true;
    }
    return actual == expected;
}

struct JsonRow {
    std::vector<std::string> arguments;  // after --bench --json
    int status;
    std::string expected;  // JSON that the output must contain
};

void PrintTo(const JsonRow& row, std::ostream* out) { *out << joined(row.arguments); }

class JsonOutput : public ::testing::TestWithParam<JsonRow> {};

TEST_P(JsonOutput, OneDocumentWithTheTextsNumbers) {
    const JsonRow& row = GetParam();
    std::vector<std::string> arguments{"--bench", "--json"};
    arguments.insert(arguments.end(), row.arguments.begin(), row.arguments.end());
    const ProcessResult result = runJigctl(arguments);
    const std::string shown = joined(arguments) + "\nout: " + result.out + "\nerr: " + result.err;
    EXPECT_EQ(result.status, row.status) << shown;
    // One line, one document.
    ASSERT_FALSE(result.out.empty()) << shown;
    EXPECT_EQ(result.out.find('\n'), result.out.size() - 1) << shown;
    const json document = json::parse(result.out, nullptr, false);
    ASSERT_FALSE(document.is_discarded()) << shown;
    EXPECT_TRUE(containsJson(document, json::parse(row.expected))) << shown;
    if (row.status != 0) {
        EXPECT_EQ(document.size(), 2u) << "only error and code\n" << shown;
    }
}

INSTANTIATE_TEST_SUITE_P(
    OnTheBench, JsonOutput,
    ::testing::Values(
        JsonRow{{"read-vcp", "10"}, 0, R"({"code": 16, "current": 50, "maximum": 100})"},
        JsonRow{{"--bench-fault", "no-board", "read-vcp", "10"}, 1,
                R"({"code": 1, "error": "Check Connection of Interface board\nread-vcp: VCP 10 could not be read"})"},
        JsonRow{{"--bench-fault", "no-monitor", "read-vcp", "10"}, 1,
                R"({"code": 2, "error": "Monitor is not Connected\nread-vcp: VCP 10 could not be read"})"},
        JsonRow{{"set-vcp", "10h", "20"}, 0, R"({"code": 16, "value": 32, "result": "OK"})"},
        JsonRow{{"--read-only", "set-vcp", "E6", "01"}, 1,
                R"({"code": 0, "error": "Password is required\nset-vcp: VCP E6 could not be written"})"},
        JsonRow{{"service", "58"}, 0, R"({"code": 88, "result": "OK"})"},
        JsonRow{{"service", "E1"}, 1, R"({"code": 0, "error": "Error"})"},
        JsonRow{{"read-mem", "1", "10"}, 0, R"({"page": 1, "address": 16, "value": 193})"},
        JsonRow{{"write-mem", "1", "10", "55"}, 0, R"({"page": 1, "address": 16, "value": 85, "result": "OK"})"},
        JsonRow{{"edid"}, 0, R"({"block": 0, "bytes": [0, 255, 255, 255, 255, 255, 255, 0]})"},
        JsonRow{{"edid", "1"}, 1, R"({"code": 2, "error": "edid: block 1 could not be read"})"},
        JsonRow{{"crt-time"}, 0, R"({"tenMinuteUnits": 18007, "hours": 3001, "minutes": 10})"},
        JsonRow{{"--bench-fault", "no-monitor", "crt-time"}, 1,
                R"({"code": 2, "error": "Monitor is not Connected\nThis Monitor can't support the CRT time information"})"},
        JsonRow{{"--model", sampleModel("vm1795.mdl"), "run", "1C"}, 0, R"({"code": 28, "result": "OK"})"},
        JsonRow{{"--model", sampleModel("vm1795.mdl"), "timings"}, 0,
                R"({"model": "VM-1795", "timings": [{"number": 0, "defined": true, "hFreqKHz": 31.47, "vFreqHz": 70.09,
                    "hPolarity": "N", "vPolarity": "P", "resolution": " 720 x  400",
                    "standard": {"number": 2, "name": "IBM VGA2 70Hz"}}]})"},
        JsonRow{{"--model", sampleModel("vm1795.mdl"), "items"}, 0,
                R"([{"page": "Geometry", "items": [{"name": "H-POSITION", "code": 32, "current": 128, "maximum": 255}]},
                    {"page": "Color"}])"},
        JsonRow{{"--model", "/nonexistent/x.mdl", "items"}, 2, R"({"code": 0})"},
        JsonRow{{"frobnicate"}, 2, R"({"code": 0, "error": "unknown command frobnicate"})"}));

TEST(JsonOutput, TransfersNameTheirRange) {
    const fs::path file = fs::temp_directory_path() / ("jigctl_json_" + std::to_string(::getpid()) + ".mem");
    ProcessResult result = runJigctl({"--bench", "--json", "save-mem", "0", "F0", "1", "0F", file.string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(json::parse(result.out),
              json({{"file", file.string()}, {"from", 0xF0}, {"to", 0x10F}, {"bytes", 32},
                    {"message", "Reading Operation Success."}}));
    result = runJigctl({"--bench", "--json", "load-mem", file.string()});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(containsJson(json::parse(result.out), {{"from", 0xF0}, {"to", 0x10F}, {"bytes", 32},
                                                       {"message", "Writing Operation Success."}}))
        << result.out;
    fs::remove(file);
}

// The items' names and values in the JSON are the ones the text lists.
TEST(JsonOutput, ItemsAgreeWithTheText) {
    for (const char* model : {"vm1595.mdl", "vm1995pro.mdl"}) {
        const ProcessResult text = runJigctl({"--bench", "--model", sampleModel(model), "items"});
        const ProcessResult document = runJigctl({"--bench", "--json", "--model", sampleModel(model), "items"});
        ASSERT_EQ(document.status, 0) << document.err;
        std::size_t checked = 0;
        for (const json& page : json::parse(document.out)) {
            for (const json& item : page["items"]) {
                const std::string line = item["name"].get<std::string>();
                const std::string value = console::valueText(item["current"].get<std::int16_t>());
                EXPECT_NE(text.out.find(line), std::string::npos) << model << " " << line;
                EXPECT_NE(text.out.find(value + "\n"), std::string::npos) << model << " " << line << " " << value;
                ++checked;
            }
            for (const json& function : page["functions"]) {
                EXPECT_NE(text.out.find("    " + function["text"].get<std::string>() + "\n"), std::string::npos)
                    << model;
            }
        }
        EXPECT_GT(checked, 10u) << model;
    }
}

struct StatsRow {
    std::vector<std::string> arguments;
    std::string pattern;  // the stats line, as a regular expression
};

void PrintTo(const StatsRow& row, std::ostream* out) { *out << joined(row.arguments); }

class StatsLine : public ::testing::TestWithParam<StatsRow> {};

TEST_P(StatsLine, SaysWhatTheCommandCost) {
    const StatsRow& row = GetParam();
    const ProcessResult result = runJigctl(row.arguments);
    const std::string shown = joined(row.arguments) + "\nerr: " + result.err;
    EXPECT_TRUE(std::regex_search(result.err, std::regex(row.pattern))) << shown;
    // On standard error only: the results stay what a script parses.
    EXPECT_EQ(result.out.find("stats"), std::string::npos) << shown;
}

INSTANTIATE_TEST_SUITE_P(
    OnTheBench, StatsLine,
    ::testing::Values(
        StatsRow{{"--bench", "--stats", "read-vcp", "10"},
                 R"(^stats: 1 transaction, 1 attempt \(0 retries\), 18 bytes on the bus, [1-9][0-9]* port accesses, )"
                 R"(0 ms in fixed waits, [0-9]+ ms on the bus, [0-9]+ ms elapsed \(virtual clock\)\n$)"},
        StatsRow{{"--bench", "--stats", "--bench-fault", "bad-checksum=1", "read-vcp", "10"},
                 R"(^stats: 1 transaction, 2 attempts \(1 retry\), 36 bytes on the bus, )"},
        // As bus master the link waits 30 ms for the reply.
        StatsRow{{"--bench", "--stats", "--protocol", "ddc2bi", "read-vcp", "10"}, R"(, 30 ms in fixed waits, )"},
        StatsRow{{"--bench", "--stats", "--bench-fault", "no-board", "read-vcp", "10"},
                 R"(stats: 1 transaction, 1 attempt \(0 retries\), 0 bytes on the bus, )"},
        StatsRow{{"--bench", "--stats", "--json", "read-vcp", "10"},
                 R"(^\{"stats":\{"attempts":1,"busMs":[0-9]+,"bytesOnBus":18,"elapsedMs":[0-9]+,"fixedWaitMs":0,)"
                 R"("portAccesses":[0-9]+,"retries":0,"transactions":1,"virtualClock":true\}\}\n$)"}));

TEST(StatsLine, FixedWaitsAndBusTimeMakeTheElapsedTime) {
    // A function of the sample model pauses between its requests.
    const ProcessResult result =
        runJigctl({"--bench", "--stats", "--json", "--model", sampleModel("vm1795.mdl"), "run", "1C"});
    const std::string text = result.err.substr(0, result.err.find('\n'));
    const json stats = json::parse(text, nullptr, false);
    ASSERT_TRUE(stats.contains("stats")) << result.err;
    const json& s = stats["stats"];
    EXPECT_GT(s["fixedWaitMs"].get<int>(), 100) << text;
    EXPECT_EQ(s["busMs"].get<int>() + s["fixedWaitMs"].get<int>(), s["elapsedMs"].get<int>()) << text;
    EXPECT_EQ(s["attempts"].get<int>(), s["transactions"].get<int>()) << text;
}

TEST(ProgressLine, TextCountsDownTheTimeLeft) {
    const struct {
        std::int64_t done, total, elapsedMs;
        std::string text;
    } rows[] = {
        {1, 1024, 20, "save-mem: 1/1024 bytes  0%  about 21 s left"},
        {512, 1024, 10000, "save-mem: 512/1024 bytes  50%  about 10 s left"},
        {1023, 1024, 20460, "save-mem: 1023/1024 bytes  99%  about 1 s left"},
        {1024, 1024, 20480, "save-mem: 1024/1024 bytes  100%"},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(ProgressLine::text("save-mem", "bytes", row.done, row.total, row.elapsedMs), row.text) << row.done;
    }
}

// A function's steps: the total arrives with the first report.
TEST(ProgressLine, StepsOfATotalKnownLate) {
    struct StillClock : platform::Clock {
        std::int32_t milliseconds() override { return 1000; }
        void sleepMilliseconds(std::int32_t) override {}
    } clock;
    std::ostringstream terminal;
    {
        ProgressLine line(terminal, true, clock, "run", "steps", 0);
        line.showDone(0, 17);
        line.showDone(17, 17);
    }
    EXPECT_EQ(terminal.str(), "\rrun: 0/17 steps  0%\rrun: 17/17 steps  100%\r                      \r");
}

TEST(ProgressLine, NothingWhenStandardErrorIsNoTerminal) {
    const fs::path file = fs::temp_directory_path() / ("jigctl_progress_" + std::to_string(::getpid()) + ".mem");
    for (const auto& arguments :
         {std::vector<std::string>{"--bench", "save-mem", "0", "00", "0", "3F", file.string()},
          std::vector<std::string>{"--bench", "load-mem", file.string()},
          std::vector<std::string>{"--bench", "--model", sampleModel("vm1795.mdl"), "items"}}) {
        const ProcessResult result = runJigctl(arguments);
        EXPECT_EQ(result.status, 0) << joined(arguments) << result.err;
        EXPECT_EQ(result.err, "") << joined(arguments);
    }
    fs::remove(file);
}

// On a terminal (script(1) gives the program one) the line counts up and
// is wiped at the end.
TEST(ProgressLine, ShownOnATerminal) {
    if (std::system("command -v script >/dev/null 2>&1") != 0) GTEST_SKIP() << "script(1) is not installed";
    const fs::path file = fs::temp_directory_path() / ("jigctl_tty_" + std::to_string(::getpid()) + ".mem");
    const std::string command = "script -qec '" + std::string(VELMORA_JIGCTL) + " --bench save-mem 0 00 0 0F " +
                                file.string() + " >/dev/null' /dev/null";
    FILE* pipe = ::popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string shown;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) shown.append(buffer, n);
    EXPECT_EQ(::pclose(pipe), 0) << shown;
    fs::remove(file);
    EXPECT_NE(shown.find("\rsave-mem: 1/16 bytes  6%  about "), std::string::npos) << shown;
    EXPECT_NE(shown.find("\rsave-mem: 16/16 bytes  100%"), std::string::npos) << shown;
    const std::string wipe = "\r" + std::string(std::string("save-mem: 16/16 bytes  100%").size(), ' ') + "\r";
    EXPECT_TRUE(shown.ends_with(wipe)) << shown;
}

}  // namespace
}  // namespace velmora::apps::jigctl
