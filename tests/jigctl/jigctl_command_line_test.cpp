// velmora-jigctl as scripts and technicians expect a command line to work:
// numbers typed back as printed, --read-only that sends nothing that
// writes, options anywhere, - for the standard streams, failures on
// standard error, broken models refused, Ctrl-C that says where it stopped
// and a progress line that does not flood the terminal.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "process_runner.h"

namespace velmora::apps::jigctl {
namespace {

namespace fs = std::filesystem;
using testing::ProcessResult;
using testing::joined;
using testing::runJigctl;
using testing::runJigctlInterrupted;
using testing::contains;
using testing::readFile;
using testing::sampleModel;

// vm1795.mdl with a line that names a label nobody defines, at line 162.
const std::string& brokenModel() {
    static const std::string path = [] {
        std::string text = readFile(sampleModel("vm1795.mdl"));
        text.insert(text.rfind("            end"), "            db  NO_SUCH_LABEL\n");
        const std::string made = (fs::temp_directory_path() / ("jigctl_broken_" + std::to_string(::getpid()) + ".mdl")).string();
        std::ofstream(made) << text;
        return made;
    }();
    return path;
}

struct LineRow {
    const char* name;
    std::vector<std::string> arguments;
    int status;
    std::string out;       // expected within standard output
    std::string err;       // expected within standard error
    std::string input;     // standard input; "@PATH" for a file's contents
    std::string nowhere;   // in neither stream (with --trace "PC:" means nothing was sent)
};

LineRow line(const char* name, std::vector<std::string> arguments, int status, std::string out, std::string err,
             std::string input = {}, std::string nowhere = {}) {
    return {name, std::move(arguments), status, std::move(out), std::move(err), std::move(input), std::move(nowhere)};
}

void PrintTo(const LineRow& row, std::ostream* out) { *out << row.name; }

class CommandLine : public ::testing::TestWithParam<LineRow> {};

TEST_P(CommandLine, BehavesAsAScriptExpects) {
    const LineRow& row = GetParam();
    const std::string input = row.input.starts_with("@") ? readFile(row.input.substr(1)) : row.input;
    const ProcessResult result = runJigctl(row.arguments, input);
    const std::string shown = joined(row.arguments) + "\nout: " + result.out + "\nerr: " + result.err;
    EXPECT_EQ(result.status, row.status) << shown;
    EXPECT_TRUE(contains(result.out, row.out)) << shown;
    EXPECT_TRUE(contains(result.err, row.err)) << shown;
    if (!row.nowhere.empty()) {
        EXPECT_FALSE(contains(result.out + result.err, row.nowhere)) << shown;
    }
    if (row.status != 0) {
        EXPECT_EQ(result.out, "") << shown;
    }
    EXPECT_FALSE(fs::exists("-")) << "a file named - was made: " << shown;
}

const std::string kCrt17 = std::string(VELMORA_EDID_BLOCKS_DIR) + "crt17_v11.hex";

INSTANTIATE_TEST_SUITE_P(
    Surprises, CommandLine,
    ::testing::Values(
        // A value is typed as it is read back: decimal, or marked hexadecimal.
        line("SetVcpWritesTheDecimalItReads", {"--bench", "--trace", "set-vcp", "10", "50"}, 0, "OK\n",
                "PC: S_ 6E 50 84 03 10 00 32 "),
        line("SetVcpTakesMarkedHex", {"--bench", "--trace", "set-vcp", "0x10", "32h"}, 0, "OK\n",
                "PC: S_ 6E 50 84 03 10 00 32 "),
        line("WriteMemTakesTheValueReadMemPrints", {"--bench", "--trace", "write-mem", "1", "10", "193"}, 0,
                "OK\n", "PC: S_ 6E 50 85 C0 09 01 10 C1 "),
        // pattern: what is refused before any display is asked.
        line("PatternNeedsAMode", {"--model", "vm1795", "pattern", "crosshatch"}, 2, "", "pattern needs --mode N"),
        line("PatternModeOutsideTheList", {"--model", "vm1795", "pattern", "crosshatch", "--mode", "32"}, 2, "",
                "--mode takes a number from 0 to 31, not \"32\""),
        line("PatternModePastTheModel", {"--model", "vm1795", "pattern", "crosshatch", "--mode", "11"}, 2, "",
                "the model has no mode 11: its modes are 0 to 10 (see timings)"),
        line("PatternUnknownName", {"--model", "vm1795", "pattern", "plaid", "--mode", "1"}, 2, "",
                "no pattern \"plaid\"; the patterns are crosshatch, dots,"),
        line("PatternOptionsBelongToPattern", {"--bench", "read-vcp", "10", "--seconds", "3"}, 2, "",
                "read-vcp: --seconds is an option of pattern only"),
        // --read-only: nothing that writes leaves the program.
        line("ReadOnlySetVcp", {"--bench", "--trace", "--read-only", "set-vcp", "10", "40"}, 2, "",
                "velmora-jigctl: set-vcp: refused by --read-only", "", "PC:"),
        line("ReadOnlyRunModeSave", {"--bench", "--trace", "--read-only", "--model", sampleModel("vm1795.mdl"), "run", "18"},
                2, "", "run: refused by --read-only", "", "PC:"),
        line("ReadOnlyService", {"--bench", "--trace", "service", "58", "--read-only"}, 2, "", "refused", "", "PC:"),
        line("ReadOnlyLoadMem", {"--bench", "--trace", "--read-only", "load-mem", "-"}, 2, "", "refused", "_110_11055",
                "PC:"),
        // run takes the code items prints beside the function.
        line("ItemsPrintTheCodeRunTakes", {"--bench", "--model", sampleModel("vm1795.mdl"), "items"}, 0,
                "  Functions\n    18    @1: MODE SAVE", ""),
        // A failure prints nothing on standard output.
        line("EdidFailureIsNoGrid", {"--bench", "edid", "1"}, 1, "", "velmora-jigctl: edid: block 1 could not be read\n",
                "", "XX"),
        // - is standard output or input.
        line("SaveMemToStandardOutput", {"--bench", "save-mem", "0", "00", "0", "01", "-"}, 0, "_000_0011118", ""),
        line("LoadMemFromStandardInput", {"--bench", "--trace", "load-mem", "-"}, 0, "Writing Operation Success.\n",
                "PC: S_ 6E 50 85 C0 09 01 10 5A", "_110_1115aa5"),
        line("DecodeEdidFromStandardInput", {"decode-edid", "-"}, 0, "Display name: \"MULTISYNC E17\"\n", "",
                "@" + kCrt17),
        line("ModelFromStandardInput", {"--bench", "--model", "-", "run", "1C"}, 0, "OK\n", "",
             "@" + sampleModel("vm1795.mdl")),
        line("OneReaderOfStandardInput", {"--bench", "--bench-edid", "-", "decode-edid", "-"}, 2, "",
             "only one of --model, --bench-edid and the FILE can be -"),
        line("EmptyStandardInput", {"--bench", "load-mem", "-"}, 2, "", "velmora-jigctl: load-mem: "),
        // Ordinary option parsing.
        line("Version", {"--version"}, 0, "velmora-jigctl 2.", ""),
        line("HelpOnStandardOutput", {"read-vcp", "--help"}, 0, "usage: velmora-jigctl", ""),
        line("OptionWithEquals", {"--model=vm1795", "timings"}, 0, "VM-1795\n", ""),
        line("OptionsAfterTheCommand", {"read-vcp", "10", "--bench", "--json"}, 0, "{\"current\":50,", ""),
        line("DoubleDashEndsTheOptions", {"--bench", "read-vcp", "--", "10"}, 0, "VCP 10: current", ""),
        line("DoubleDashMakesAnArgument", {"--bench", "read-vcp", "--", "--json"}, 2, "",
                "read-vcp: \"--json\" is not a hexadecimal number"),
        // Several codes in one session: one link, three transactions.
        line("SeveralCodesOneSession", {"--bench", "--stats", "read-vcp", "10", "12", "16"}, 0,
                "VCP 12: current  80 (50h), maximum 100 (64h)  Contrast\nVCP 16: current 128", "stats: 3 transactions"),
        // A model that does not compile is not used.
        line("ModelWithCompileErrors", {"--bench", "--trace", "--model", brokenModel(), "read-vcp", "10"}, 2, "",
                ".mdl:163:17: error: NO_SUCH_LABEL is not found\nvelmora-jigctl: --model: ", "", "PC:")),
    [](const auto& info) { return std::string(info.param.name); });

// Ctrl-C in load-mem: the byte in flight is finished, nothing follows it,
// and the message says how far it came. Every write the bus saw is one of
// the bytes the message counts.
TEST(Interrupt, LoadMemSaysWhereItStopped) {
    const fs::path file = fs::temp_directory_path() / ("jigctl_interrupt_" + std::to_string(::getpid()) + ".mem");
    std::string image = "_000_3FF";
    for (int i = 0; i < 1024; ++i) image += "5A";
    std::ofstream(file) << image;
    const ProcessResult result =
        runJigctlInterrupted({"--bench", "--trace", "load-mem", file.string()}, "PC: S_ 6E 50 85", 40);
    fs::remove(file);
    EXPECT_EQ(result.status, 130) << result.err.substr(result.err.size() > 400 ? result.err.size() - 400 : 0);
    std::smatch match;
    const std::regex said(R"(\nvelmora-jigctl: load-mem: interrupted after page ([0-3]) address ([0-9A-F]{2}); )"
                          R"(([0-9]+) of 1024 bytes written\n$)");
    ASSERT_TRUE(std::regex_search(result.err, match, said)) << result.err.substr(result.err.size() - 300);
    const int written = std::stoi(match[3]);
    EXPECT_GE(written, 40);
    EXPECT_LT(written, 1024);
    EXPECT_EQ(std::stoi(match[1]) * 256 + std::stoi(match[2], nullptr, 16), written - 1);
    std::size_t writes = 0;
    for (auto at = result.err.find("PC: S_ 6E 50 85"); at != std::string::npos; at = result.err.find("PC: S_ 6E 50 85", at + 1)) {
        ++writes;
    }
    EXPECT_EQ(writes, static_cast<std::size_t>(written));
    EXPECT_EQ(result.out, "");
}

// On a terminal (script(1) gives the program one) the progress line of a
// 256-byte save is repainted at most every 100 ms of the bench's clock,
// which --stats reports, not once per byte.
TEST(ProgressLine, RepaintedAtMostTenTimesASecond) {
    const fs::path file = fs::temp_directory_path() / ("jigctl_tty_" + std::to_string(::getpid()) + ".mem");
    const auto terminal = testing::shownOnTerminal("--bench --stats save-mem 0 00 0 FF", file.string());
    if (!terminal) GTEST_SKIP() << "script(1) is not installed";
    const std::string& shown = *terminal;
    std::smatch elapsed;
    ASSERT_TRUE(std::regex_search(shown, elapsed, std::regex(R"(([0-9]+) ms elapsed)"))) << shown;
    std::size_t repaints = 0;
    for (auto at = shown.find("\rsave-mem: "); at != std::string::npos; at = shown.find("\rsave-mem: ", at + 1)) {
        ++repaints;
    }
    EXPECT_GE(repaints, 2u) << shown;
    EXPECT_LE(repaints, static_cast<std::size_t>(std::stoi(elapsed[1]) / 100 + 2)) << shown;
    EXPECT_NE(shown.find("\rsave-mem: 256/256 bytes  100%"), std::string::npos) << shown;
}

}  // namespace
}  // namespace velmora::apps::jigctl
