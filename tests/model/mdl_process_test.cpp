// velmora-mdl as a model author runs it: a process over a model file, its
// two output streams and its exit status.
#include <sys/wait.h>

#include <cstdlib>

#include <gtest/gtest.h>

#include "test_support.h"

namespace velmora::model::testing {
namespace {

struct ProcessResult {
    int status = -1;  // -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs velmora-mdl in `directory` (a path without blanks or quotes, as the
// arguments are) with standard input from `input`.
ProcessResult runMdl(const TemporaryDirectory& directory, const std::vector<std::string>& arguments,
                     const std::string& input) {
    directory.write("stdin", input);
    std::string command = "cd " + directory.path() + " && " + VELMORA_MDL;
    for (const std::string& argument : arguments) command += " '" + argument + "'";
    command += " <stdin >stdout 2>stderr";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(directory.path() + "stdout"),
            readFile(directory.path() + "stderr")};
}

constexpr const char* kClean =
    "; [MODEL,CLEAN]\n"
    "; [PROTOCOL,DDC2Bi]\n"
    "DIR  db __PAGE,3,2\n"
    "     db __KEY,0\n"
    "     db PAGE1+18h,1\n"
    "     dw SAVE\n"
    "     db 0FFh\n"
    "SAVE db _GD_SAVE_\n"
    "     end\n";

// One error (a name found nowhere) and a warning read from the image (a
// VCP code listed twice): the warning waits for the error to be fixed,
// while the PROTOCOL value, which no error can change, is warned about.
constexpr const char* kErrorAndWarnings =
    "; [MODEL,BROKEN]\n"
    "; [PROTOCOL,DDC9]\n"
    "DIR  db __VCP,6,2,V_HPOSI,0,V_HPOSI\n"
    "     db 0,__KEY,0,0FFh,MISSING\n"
    "     end\n";

struct MdlRow {
    const char* name;
    std::vector<std::string> arguments;  // "model.mdl" is the file of `model`
    std::string model;                    // also given as standard input
    int status;
    std::vector<std::string> out;  // each expected within standard output
    std::vector<std::string> err;  // each expected within standard error
    std::vector<std::string> errAbsent;
    bool outEmpty = false;
};

void PrintTo(const MdlRow& row, std::ostream* out) { *out << row.name; }

class MdlProcess : public ::testing::TestWithParam<MdlRow> {};

TEST_P(MdlProcess, PrintsAndExitsAsDocumented) {
    const MdlRow& row = GetParam();
    TemporaryDirectory directory;
    directory.write("model.mdl", row.model);
    const ProcessResult result = runMdl(directory, row.arguments, row.model);
    const std::string shown = std::string(row.name) + "\nout: " + result.out + "\nerr: " + result.err;
    EXPECT_EQ(result.status, row.status) << shown;
    for (const std::string& part : row.out) EXPECT_NE(result.out.find(part), std::string::npos) << part << shown;
    for (const std::string& part : row.err) EXPECT_NE(result.err.find(part), std::string::npos) << part << shown;
    for (const std::string& part : row.errAbsent) EXPECT_EQ(result.err.find(part), std::string::npos) << part << shown;
    if (row.outEmpty) {
        EXPECT_EQ(result.out, "") << shown;
    }
}

const std::string kUnknownKeyword =
    "model.mdl:2:6: error: unknown keyword dbb: the line is ignored (valid: db, dw, define, set, public, end)\n";
const std::string kUnknownProtocol =
    "model.mdl:2: warning: PROTOCOL \"DDC9\" is not known: the monitor is taken to reply as bus master "
    "(SlaveReceive); valid: DDC2Bi (MasterRead), DDC2B or SLAVE (SlaveReceive)\n";

INSTANTIATE_TEST_SUITE_P(
    Rows, MdlProcess,
    ::testing::Values(
        MdlRow{"cleanCheck", {"check", "model.mdl"}, kClean, 0, {"model.mdl: \"CLEAN\", 2 pages, 0 timings\n"}, {}, {}},
        MdlRow{"cleanFromStandardInput", {"check", "--werror", "-"}, kClean, 0,
               {"<stdin>: \"CLEAN\", 2 pages, 0 timings\n"}, {}, {}},
        MdlRow{"unknownKeywordNamed", {"check", "model.mdl"}, "; [MODEL,T]\nDIR  dbb 0FFh\n     end\n", 1,
               {"model.mdl: \"T\""}, {kUnknownKeyword}, {"is duplicated"}},
        MdlRow{"warningsHeldBackAfterAnError", {"check", "model.mdl"}, kErrorAndWarnings, 1, {},
               {"model.mdl:4:24: error: MISSING is not found\n", kUnknownProtocol,
                "model.mdl: note: 1 warning is held back until the errors are fixed\n"},
               {"listed twice"}},
        MdlRow{"imageWarningsWithoutErrors", {"check", "model.mdl"},
               "; [PROTOCOL,DDC9]\nDIR  db __VCP,6,2,V_HPOSI,0,V_HPOSI\n     db 0,__KEY,0,0FFh\n     end\n", 0, {},
               {"model.mdl:2: warning: VCP code 20h is listed twice"}, {"held back"}},
        MdlRow{"werrorFailsOnAWarning", {"check", "model.mdl", "--werror"},
               "; [MODEL,X]\n; [PROTOCOL,DDC9]\nDIR  db 0FFh\n     end\n", 1, {}, {kUnknownProtocol}, {}},
        MdlRow{"listOfABrokenFileTellsItsErrors", {"list", "model.mdl"}, "; [MODEL,T]\nDIR  dbb 0FFh\n     end\n", 1,
               {"LINE  ADDR  BYTES"}, {kUnknownKeyword}, {}},
        MdlRow{"listJsonAfterTheFile", {"list", "model.mdl", "--json"}, kClean, 0, {"\"chunks\": ["}, {}, {}},
        MdlRow{"dumpWithErrorsStillDumps", {"dump", "model.mdl"}, kErrorAndWarnings, 1,
               {"\"errors\": \"MISSING is not found \\n\""}, {"model.mdl:4:24: error: MISSING is not found\n"}, {}},
        MdlRow{"dumpOfAMissingFilePrintsNoDocument", {"dump", "nosuch.mdl"}, kClean, 2, {},
               {"velmora-mdl: nosuch.mdl: cannot open: No such file or directory\n"}, {}, true},
        MdlRow{"emptyFileIsNotLoaded", {"check", "model.mdl"}, "", 2, {},
               {"velmora-mdl: model.mdl: the file is empty\n"}, {}, true},
        MdlRow{"help", {"--help"}, kClean, 0, {"Commands:\n  check FILE.mdl...", "--version"}, {}, {}},
        MdlRow{"helpAfterACommand", {"check", "model.mdl", "-h"}, kClean, 0, {"usage: velmora-mdl"}, {}, {}},
        MdlRow{"version", {"--version"}, kClean, 0, {std::string("velmora-mdl ") + VELMORA_VERSION + "\n"}, {}, {}},
        MdlRow{"noCommand", {}, kClean, 2, {}, {"velmora-mdl: no command: give check, list, dump or from-capabilities"}, {}, true},
        MdlRow{"unknownCommand", {"compile", "model.mdl"}, kClean, 2, {},
               {"velmora-mdl: compile: unknown command (valid: check, list, dump, from-capabilities)"}, {}, true},
        MdlRow{"optionOfAnotherCommand", {"check", "--json", "model.mdl"}, kClean, 2, {},
               {"velmora-mdl: --json: not an option of check (valid: --werror, --all-warnings)"}, {}, true},
        MdlRow{"fileAfterDoubleDash", {"check", "--", "-model.mdl"}, kClean, 2, {},
               {"velmora-mdl: -model.mdl: cannot open"}, {}, true},
        MdlRow{"listTakesOneFile", {"list", "model.mdl", "model.mdl"}, kClean, 2, {},
               {"velmora-mdl: list: takes one model file (2 given)"}, {}, true},
        // "model.mdl" holds a capabilities string in these rows.
        MdlRow{"fromCarelessCapabilities", {"from-capabilities", "-"},
               "(prot(monitor)type(crt)model VM17 VCP(1012202201)mccs_ver(2.0))\n", 0,
               {"; [MODEL,VM17]\n", "'Horizontal Size',0\n", "'Degauss',0\n"},
               {"velmora-mdl: from-capabilities: warning: offset 23: model without parentheses\n"}, {}},
        MdlRow{"fromBinaryCapabilities", {"from-capabilities", "model.mdl"}, std::string("\x6E\x88\x02\x00\x10\xFF\xFF", 7),
               2, {}, {"velmora-mdl: from-capabilities: model.mdl: binary data"}, {}, true},
        MdlRow{"outputOfAnotherCommand", {"check", "model.mdl", "-o", "x.mdl"}, kClean, 2, {},
               {"velmora-mdl: --output: not an option of check"}, {}, true}),
    [](const ::testing::TestParamInfo<MdlRow>& info) { return std::string(info.param.name); });

// What from-capabilities writes passes check --werror as it is.
TEST(MdlProcess, ModelFromCapabilitiesChecksCleanly) {
    TemporaryDirectory directory;
    directory.write("caps.txt",
                    "(prot(monitor)type(crt)model(VM1795)cmds(01 02 03 07 0C F3)vcp(01 04 06 08 10 12 14(01 02 03) 16 "
                    "18 1A 1C 20 22 24 26 28 29 2A 2C 30 32 34 36 38 39 3A 3C 40 41 42 43 44 46 48 4A 4C 56 58 6C 6E 70 "
                    "B6 C8 DF E0 F1)mccs_ver(2.2))");
    const ProcessResult made = runMdl(directory, {"from-capabilities", "caps.txt", "-o", "made.mdl"}, "");
    EXPECT_EQ(made.status, 0) << made.err;
    EXPECT_EQ(made.out, "");
    const ProcessResult checked = runMdl(directory, {"check", "--werror", "--all-warnings", "made.mdl"}, "");
    EXPECT_EQ(checked.status, 0) << checked.err;
    EXPECT_EQ(checked.out, "made.mdl: \"VM1795\", 3 pages, 0 timings\n");
}

}  // namespace
}  // namespace velmora::model::testing
