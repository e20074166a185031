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
    Version,
    ReadVcp,   // CODE...
    SetVcp,    // CODE VALUE
    Service,   // CODE
    Items,
    Run,       // ITEM
    ReadMem,   // PAGE ADDR
    WriteMem,  // PAGE ADDR VALUE
    Edid,      // [BLOCK]
    CrtTime,
    Timings,
    SaveMem,   // FROMPAGE FROMADDR TOPAGE TOADDR FILE
    LoadMem,   // FILE
    DecodeEdid,  // FILE
    Detect,    // list the ways to a monitor this PC has
    Capabilities,       // the monitor's DDC/CI capabilities, parsed
    ParseCapabilities,  // FILE: a saved capabilities string, parsed
    DiffMem,   // FILE [FILE] (or --monitor)
    Backups,   // list the EEPROM backups
    Pattern,   // NAME: a test pattern in one of the model's modes
};

// Which way the bench's monitor is reached: through the jig's port code, or
// through the display-channel code and a stand-in i2c-dev adapter.
enum class BenchPort { Parport, I2c };

// The file argument that names standard input or output.
inline constexpr std::string_view kStandardStream = "-";

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
    std::int32_t waitScalePercent = 100;  // --ddcci-wait-scale, in hundredths
    std::int32_t waitForChannelMs = 0;    // --wait-for-channel
    bool anyMonitor = false;              // factory requests to a monitor the model does not name
    std::optional<std::string> benchEdidPath;  // loaded into the bench monitor's EDID memory
    bool decode = false;  // edid: the block decoded instead of the grid
    std::optional<std::string> modelOut;  // capabilities: a model made from them, written here
    // pattern: the line of the model's timing list, the output (connector),
    // how long (none: until a key or a signal), a mode outside the
    // monitor's ranges, and how long a newly set mode waits to be kept.
    std::optional<std::int64_t> patternMode;
    std::optional<std::string> output;
    std::optional<std::int64_t> patternSeconds;
    bool force = false;
    std::int64_t confirmWithinSeconds = 15;

    Command command = Command::Help;
    std::string commandName;  // as typed, for the messages
    // The command's numbers in argument order: VCP, service and item codes
    // and EEPROM addresses read as hexadecimal; values, pages and blocks as
    // decimal unless written 0x.. or ..h.
    std::vector<std::int64_t> numbers;
    std::string file;  // "-" for standard input or output
    std::string secondFile;     // diff-mem's second file
    bool againstMonitor = false;  // diff-mem --monitor: the file against the monitor
    bool verify = false;        // write-mem, load-mem: read each written byte back
    bool noBackup = false;      // write without the EEPROM backup first
};

struct ParsedArguments {
    std::optional<Invocation> invocation;
    std::string error;  // one line saying what is wrong, when there is no invocation
};

// Reads the options and the command. Options may come before or after the
// command, as --name VALUE or --name=VALUE; after "--" every word is an
// argument. Numbers are checked here (codes, values and addresses 0..FFh,
// pages 0..3) except the save-mem range, which the Save Memory checks judge
// with their own messages. With --read-only, a command that writes to the
// monitor is refused here, before anything is sent.
ParsedArguments parseArguments(std::span<const std::string> arguments);

// "10", "0x10" and "10h" (either case): hexadecimal; nothing for anything
// else. At most eight digits.
std::optional<std::int64_t> parseHexNumber(std::string_view text);
// "50" decimal (an optional leading minus, at most nine digits); "0x32" and
// "32h" hexadecimal as for parseHexNumber.
std::optional<std::int64_t> parseDecimalNumber(std::string_view text);

bool commandNeedsModel(Command command);
bool commandUsesMonitor(Command command);
// Whether the command sends anything that changes the monitor: a value, a
// service command, a function or script, an EEPROM byte.
bool commandWrites(Command command);

std::string usageText();
std::string versionText();

}  // namespace velmora::apps::jigctl
