#pragma once
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "link/reply_mode.h"

namespace velmora::apps::jigctl {

enum class Command {
    Help,
    ReadVcp,   // CODE
    SetVcp,    // CODE VALUE
    Service,   // CODE
    Items,
    Run,       // CODE
    ReadMem,   // PAGE ADDR
    WriteMem,  // PAGE ADDR VALUE
    Edid,      // [BLOCK]
    CrtTime,
    Timings,
    SaveMem,   // FROMPAGE FROMADDR TOPAGE TOADDR FILE
    LoadMem,   // FILE
    DecodeEdid,  // FILE
    Detect,    // list the ways to a monitor this PC has
};

// Which way the bench's monitor is reached: through the jig's port code, or
// through the display-channel code and a stand-in i2c-dev adapter.
enum class BenchPort { Parport, I2c };

// Everything the command line asked for, checked before anything is sent.
struct Invocation {
    bool bench = false;
    std::optional<std::string> modelPath;  // a path or a model name
    std::optional<link::ReplyMode> protocol;
    bool trace = false;
    bool readOnly = false;
    bool json = false;      // results as JSON on standard output
    bool stats = false;     // the operation's cost on standard error afterwards
    bool progress = false;  // a progress line on standard error (set when it is a terminal)
    std::vector<std::string> benchFaults;
    // --port: the jig's ppdev node or an i2c-dev node; /dev/parport0 without it.
    std::optional<std::string> port;
    BenchPort benchPort = BenchPort::Parport;
    // The display channel waits only what each request asks for, not the
    // DDC/CI standard's 40 ms before a reply and 50 ms between requests.
    bool ddcciFast = false;
    std::optional<std::string> benchEdidPath;  // loaded into the bench monitor's EDID memory
    bool decode = false;  // edid: the block decoded instead of the grid

    Command command = Command::Help;
    // The command's numbers in argument order: codes, values and addresses
    // read as hexadecimal, pages and blocks as decimal.
    std::vector<std::int64_t> numbers;
    std::string file;
};

struct ParsedArguments {
    std::optional<Invocation> invocation;
    std::string error;  // one line saying what is wrong, when there is no invocation
};

// Reads the options and the command. Numbers are checked here (codes and
// values 00..FF, pages 0..3) except the save-mem range, which the Save
// Memory checks judge with their own messages.
ParsedArguments parseArguments(std::span<const std::string> arguments);

// "10", "0x10" and "10h" (either case); nothing for anything else. At most
// eight digits.
std::optional<std::int64_t> parseHexNumber(std::string_view text);
// Decimal digits with an optional leading minus; at most nine digits.
std::optional<std::int64_t> parseDecimalNumber(std::string_view text);

bool commandNeedsModel(Command command);
bool commandUsesMonitor(Command command);

std::string usageText();

}  // namespace velmora::apps::jigctl
