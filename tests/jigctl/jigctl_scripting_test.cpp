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

// The JSON contract of the manual page, one shape per document: an object
// has exactly the keys listed, "int|null" names the types a value may
// have, [SHAPE] is a list of SHAPE, ["$either", A, B] is A or B.
const json kEdidSummary = {{"monitor", "string|null"},
                           {"manufacturer", "string"},
                           {"product", "int"},
                           {"serial", "int"},
                           {"checksumValid", "bool"}};
const json kVcp = {{"vcp", "int"}, {"current", "int"}, {"maximum", "int"}, {"name", "string"}};
const json kFailure = {{"error", "string"}, {"linkError", "int|null"}};
const json kMemoryByte = {{"page", "int"}, {"address", "int"}, {"value", "int"}};
const json kTransfer = {{"file", "string"}, {"from", "int"}, {"to", "int"}, {"bytes", "int"}, {"message", "string"}};
const json kShapes = {
    {"vcp", kVcp},
    {"vcps", json::array({kVcp})},
    {"failure", kFailure},
    {"set-vcp", {{"vcp", "int"}, {"value", "int"}, {"result", "string"}}},
    {"service", {{"service", "int"}, {"result", "string"}}},
    {"run", {{"item", "int"}, {"result", "string"}}},
    {"items", json::array({{{"page", "int"},
                            {"name", "string|null"},
                            {"items", json::array({{{"name", "string"},
                                                    {"vcp", "int|null"},
                                                    {"memory", {"$either", "null", {{"page", "int"}, {"address", "int"}}}},
                                                    {"current", "int"},
                                                    {"maximum", "int"}}})},
                            {"functions", json::array({{{"item", "int|null"}, {"name", "string"}, {"text", "string"}}})}}})},
    {"read-mem", kMemoryByte},
    {"write-mem", {{"page", "int"}, {"address", "int"}, {"value", "int"}, {"result", "string"}}},
    {"edid", {{"block", "int"}, {"bytes", json::array({"int"})}}},
    {"decoded", "object"},
    {"crt-time", {{"tenMinuteUnits", "int"}, {"hours", "int"}, {"minutes", "int"}, {"text", "string"}}},
    {"timings",
     {{"model", "string"},
      {"timings", json::array({{{"number", "int"},
                                {"defined", "bool"},
                                {"hFreqKHz", "number|null"},
                                {"vFreqHz", "number|null"},
                                {"hPolarity", "string|null"},
                                {"vPolarity", "string|null"},
                                {"resolution", {"$either", "null", {{"width", "int"}, {"height", "int"}}}},
                                {"resolutionName", "string|null"},
                                {"standard", {"$either", "null", {{"number", "int"}, {"name", "string"}}}}}})}}},
    {"transfer", kTransfer},
    {"detect",
     {{"found", "bool"},
      {"displayChannels", json::array({{{"device", "string"},
                                        {"adapter", "string|null"},
                                        {"connector", "string|null"},
                                        {"kind", "string"},
                                        {"probed", "bool"},
                                        {"problem", "string|null"},
                                        {"edid", {"$either", "null", kEdidSummary}},
                                        {"ddcci", "bool|null"}}})},
      {"parallelPorts", json::array({{{"device", "string"},
                                      {"problem", "string|null"},
                                      {"board", "bool|null"},
                                      {"edid", {"$either", "null", kEdidSummary}}}})}}},
};

bool hasType(const json& value, std::string_view type) {
    if (type == "int") return value.is_number_integer();
    if (type == "number") return value.is_number();
    if (type == "string") return value.is_string();
    if (type == "bool") return value.is_boolean();
    if (type == "null") return value.is_null();
    if (type == "object") return value.is_object();
    return false;
}

// Empty when `value` has `shape`; otherwise where and how it differs.
std::string shapeFault(const json& value, const json& shape, const std::string& where = "document") {
    if (shape.is_string()) {
        const std::string types = shape.get<std::string>();
        std::size_t start = 0;
        while (start <= types.size()) {
            const std::size_t end = std::min(types.find('|', start), types.size());
            if (hasType(value, std::string_view(types).substr(start, end - start))) return {};
            start = end + 1;
        }
        return where + " is " + value.dump() + ", not " + types;
    }
    if (shape.is_array() && shape.size() == 3 && shape[0] == "$either") {
        if (shapeFault(value, shape[1], where).empty()) return {};
        return shapeFault(value, shape[2], where);
    }
    if (shape.is_array()) {
        if (!value.is_array()) return where + " is no list";
        for (std::size_t i = 0; i < value.size(); ++i) {
            if (auto fault = shapeFault(value[i], shape[0], where + "[" + std::to_string(i) + "]"); !fault.empty()) {
                return fault;
            }
        }
        return {};
    }
    if (!value.is_object()) return where + " is no object";
    for (const auto& [key, item] : value.items()) {
        if (!shape.contains(key)) return where + " has a key \"" + key + "\" the contract does not name";
    }
    for (const auto& [key, itemShape] : shape.items()) {
        if (!value.contains(key)) return where + " lacks \"" + key + "\"";
        if (auto fault = shapeFault(value[key], itemShape, where + "." + key); !fault.empty()) return fault;
    }
    return {};
}

struct JsonRow {
    std::vector<std::string> arguments;  // after --json; FILE is a file of this test's own
    int status;
    std::string shape;     // the name of its shape in kShapes
    std::string expected;  // JSON that the output must contain
};

void PrintTo(const JsonRow& row, std::ostream* out) { *out << joined(row.arguments); }

class JsonOutput : public ::testing::TestWithParam<JsonRow> {};

// Every command's document on standard output: one line, the contract's
// shape, the numbers the text shows.
TEST_P(JsonOutput, KeepsTheContract) {
    const JsonRow& row = GetParam();
    const fs::path file = fs::temp_directory_path() / ("jigctl_json_" + std::to_string(::getpid()) + ".mem");
    std::ofstream(file) << "_110_1115aa5";
    std::vector<std::string> arguments{"--json"};
    for (const std::string& argument : row.arguments) arguments.push_back(argument == "FILE" ? file.string() : argument);
    const ProcessResult result = runJigctl(arguments);
    fs::remove(file);
    const std::string shown = joined(arguments) + "\nout: " + result.out + "\nerr: " + result.err;
    EXPECT_EQ(result.status, row.status) << shown;
    ASSERT_FALSE(result.out.empty()) << shown;
    EXPECT_EQ(result.out.find('\n'), result.out.size() - 1) << shown;
    const json document = json::parse(result.out, nullptr, false);
    ASSERT_FALSE(document.is_discarded()) << shown;
    EXPECT_EQ(shapeFault(document, kShapes.at(row.shape)), "") << shown;
    EXPECT_TRUE(containsJson(document, json::parse(row.expected))) << shown;
    // A failure is also said on standard error.
    if (row.status != 0 && row.shape == "failure") {
        EXPECT_NE(result.err.find("velmora-jigctl: "), std::string::npos) << shown;
    }
}

const std::string kCrt15 = std::string(VELMORA_EDID_BLOCKS_DIR) + "crt15_v13_ones.hex";

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, JsonOutput,
    ::testing::Values(
        JsonRow{{"--bench", "read-vcp", "10"}, 0, "vcp", R"({"vcp": 16, "current": 50, "maximum": 100})"},
        JsonRow{{"--bench", "read-vcp", "10", "12"}, 0, "vcps", R"([{"vcp": 16}, {"vcp": 18, "current": 80}])"},
        JsonRow{{"--bench", "set-vcp", "10h", "20"}, 0, "set-vcp", R"({"vcp": 16, "value": 20, "result": "OK"})"},
        JsonRow{{"--bench", "service", "58"}, 0, "service", R"({"service": 88, "result": "OK"})"},
        JsonRow{{"--bench", "--model", sampleModel("vm1795.mdl"), "items"}, 0, "items",
                R"([{"page": 0, "name": "Geometry", "items": [{"name": "H-POSITION", "vcp": 32, "memory": null,
                    "current": 128, "maximum": 255}], "functions": [{"item": 24, "name": "MODE SAVE"}]},
                    {"page": 1, "name": "Color"}])"},
        JsonRow{{"--bench", "--model", sampleModel("vm1995pro.mdl"), "items"}, 0, "items", "[]"},
        JsonRow{{"--bench", "--model", sampleModel("vm1795.mdl"), "run", "1C"}, 0, "run", R"({"item": 28, "result": "OK"})"},
        JsonRow{{"--bench", "read-mem", "1", "10"}, 0, "read-mem", R"({"page": 1, "address": 16, "value": 193})"},
        JsonRow{{"--bench", "write-mem", "1", "10", "0x55"}, 0, "write-mem",
                R"({"page": 1, "address": 16, "value": 85, "result": "OK"})"},
        JsonRow{{"--bench", "edid"}, 0, "edid", R"({"block": 0, "bytes": [0, 255, 255, 255, 255, 255, 255, 0]})"},
        JsonRow{{"--bench", "edid", "--decode"}, 0, "decoded", R"({"version": "1.3"})"},
        JsonRow{{"decode-edid", kCrt15}, 0, "decoded", R"({"manufacturer": "SNY"})"},
        JsonRow{{"--bench", "crt-time"}, 0, "crt-time", R"({"tenMinuteUnits": 18007, "hours": 3001, "minutes": 10})"},
        JsonRow{{"--model", sampleModel("vm1795.mdl"), "timings"}, 0, "timings",
                R"({"model": "VM-1795", "timings": [{"number": 0, "defined": true, "hFreqKHz": 31.47, "vFreqHz": 70.09,
                    "hPolarity": "N", "vPolarity": "P", "resolution": {"width": 720, "height": 400},
                    "resolutionName": "720 x  400", "standard": {"number": 2, "name": "IBM VGA2 70Hz"}}]})"},
        JsonRow{{"--model", sampleModel("vm2195.mdl"), "timings"}, 0, "timings", "{}"},
        JsonRow{{"--bench", "save-mem", "1", "10", "1", "11", "FILE"}, 0, "transfer",
                R"({"from": 272, "to": 273, "bytes": 2, "message": "Reading Operation Success."})"},
        JsonRow{{"--bench", "load-mem", "FILE"}, 0, "transfer",
                R"({"from": 272, "to": 273, "bytes": 2, "message": "Writing Operation Success."})"},
        JsonRow{{"--bench", "detect"}, 0, "detect",
                R"({"found": true, "displayChannels": [{"ddcci": true, "edid": {"manufacturer": "VLM"}}],
                    "parallelPorts": [{"board": true}]})"},
        // Failures: the link's code, 4 for a bad reply, 0 for a monitor that
        // answered "no", null where nothing was exchanged.
        JsonRow{{"--bench", "--bench-fault", "no-board", "read-vcp", "10"}, 1, "failure",
                R"({"linkError": 1, "error": "read-vcp: Check Connection of Interface board\nread-vcp: VCP 10 could not be read"})"},
        JsonRow{{"--bench", "--bench-fault", "no-monitor", "set-vcp", "10", "1"}, 1, "failure", R"({"linkError": 2})"},
        JsonRow{{"--bench", "--bench-fault", "bad-checksum=3", "read-vcp", "10"}, 1, "failure",
                R"({"linkError": 4, "error": "read-vcp: VCP 10 could not be read"})"},
        JsonRow{{"--bench", "service", "E1"}, 1, "failure", R"({"linkError": 0, "error": "service: E1: Error"})"},
        JsonRow{{"--bench", "edid", "1"}, 1, "failure", R"({"linkError": 2, "error": "edid: block 1 could not be read"})"},
        JsonRow{{"--bench", "--bench-fault", "no-monitor", "crt-time"}, 1, "failure", R"({"linkError": 2})"},
        JsonRow{{"--bench", "--read-only", "set-vcp", "10", "1"}, 2, "failure", R"({"linkError": null})"},
        JsonRow{{"--model", "/nonexistent/x.mdl", "timings"}, 2, "failure", R"({"linkError": null})"},
        JsonRow{{"frobnicate"}, 2, "failure", R"({"linkError": null, "error": "frobnicate: unknown command"})"}));

// The items' names and values in the JSON are the ones the text lists, and
// every function's item code is one that run takes.
TEST(JsonOutput, ItemsAgreeWithTheTextAndRun) {
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
                const std::string code = console::hexByte(function["item"].get<int>());
                EXPECT_NE(text.out.find("    " + code + "    " + function["text"].get<std::string>() + "\n"),
                          std::string::npos)
                    << model << " " << code;
                // The bench monitor answers every function; a refused code would exit 2.
                const ProcessResult run = runJigctl({"--bench", "--model", sampleModel(model), "run", code});
                EXPECT_NE(run.status, 2) << model << " run " << code << ": " << run.err;
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
    const fs::path file = fs::temp_directory_path() / ("jigctl_tty_" + std::to_string(::getpid()) + ".mem");
    const auto terminal = testing::shownOnTerminal("--bench save-mem 0 00 0 0F", file.string());
    if (!terminal) GTEST_SKIP() << "script(1) is not installed";
    const std::string& shown = *terminal;
    EXPECT_NE(shown.find("\rsave-mem: 1/16 bytes  6%  about "), std::string::npos) << shown;
    EXPECT_NE(shown.find("\rsave-mem: 16/16 bytes  100%"), std::string::npos) << shown;
    const std::string wipe = "\r" + std::string(std::string("save-mem: 16/16 bytes  100%").size(), ' ') + "\r";
    EXPECT_TRUE(shown.ends_with(wipe)) << shown;
}

}  // namespace
}  // namespace velmora::apps::jigctl
