#include "apps/velmora-jigctl/jigctl_arguments.h"

#include <algorithm>

#include "bench/bench_faults.h"
#include "link/display_channel_link.h"

#ifndef VELMORA_VERSION
#define VELMORA_VERSION "unknown"
#endif

namespace velmora::apps::jigctl {

namespace {

// How each word after the command is read. Codes and EEPROM addresses are
// hexadecimal, as the monitor's documentation and the DDC/CI tools write
// them; values, pages and blocks are decimal as the outputs print them, or
// hexadecimal when marked so.
enum class Argument {
    Code,        // VCP, service or item code: hexadecimal 00..FF
    Address,     // EEPROM address: hexadecimal 00..FF
    Value,       // 0..255
    WideValue,   // 0..65535: a display channel's Set VCP carries 16 bits, the jig's one byte
    Page,        // 0..3
    Block,       // 0..255
    AnyPage,     // save-mem pages: judged by the Save Memory checks
    AnyAddress,  // save-mem addresses: likewise
    File,        // a path, or "-" for standard input or output
    SecondFile,  // a second path
};

struct CommandForm {
    std::string_view name;
    Command command;
    std::vector<Argument> arguments;
    std::size_t optionalFrom;  // arguments from here on may be left out
    bool repeatsLast;          // the last argument may be given again and again
    std::string_view argumentNames;
};

const std::vector<CommandForm>& commandForms() {
    static const std::vector<CommandForm> forms{
        {"read-vcp", Command::ReadVcp, {Argument::Code}, 1, true, "CODE..."},
        {"set-vcp", Command::SetVcp, {Argument::Code, Argument::WideValue}, 2, false, "CODE VALUE"},
        {"service", Command::Service, {Argument::Code}, 1, false, "CODE"},
        {"items", Command::Items, {}, 0, false, ""},
        {"run", Command::Run, {Argument::Code}, 1, false, "ITEM"},
        {"read-mem", Command::ReadMem, {Argument::Page, Argument::Address}, 2, false, "PAGE ADDR"},
        {"write-mem", Command::WriteMem, {Argument::Page, Argument::Address, Argument::Value}, 3, false,
         "PAGE ADDR VALUE"},
        {"edid", Command::Edid, {Argument::Block}, 0, false, "[--decode] [BLOCK]"},
        {"crt-time", Command::CrtTime, {}, 0, false, ""},
        {"timings", Command::Timings, {}, 0, false, ""},
        {"save-mem", Command::SaveMem,
         {Argument::AnyPage, Argument::AnyAddress, Argument::AnyPage, Argument::AnyAddress, Argument::File}, 5, false,
         "FROMPAGE FROMADDR TOPAGE TOADDR FILE"},
        {"load-mem", Command::LoadMem, {Argument::File}, 1, false, "FILE"},
        {"decode-edid", Command::DecodeEdid, {Argument::File}, 1, false, "FILE"},
        {"detect", Command::Detect, {}, 0, false, ""},
        {"capabilities", Command::Capabilities, {}, 0, false, "[--model-out FILE.mdl]"},
        {"parse-capabilities", Command::ParseCapabilities, {Argument::File}, 1, false, "FILE"},
        {"diff-mem", Command::DiffMem, {Argument::File, Argument::SecondFile}, 1, false, "FILE FILE, or FILE --monitor"},
        {"backups", Command::Backups, {}, 0, false, ""},
        {"pattern", Command::Pattern, {Argument::File}, 1, false, "NAME --mode N [--output CONNECTOR] [--seconds S] [--force]"},
    };
    return forms;
}

// The options: those that take a value, and flags.
enum class Option {
    Bench,
    BenchFault,
    BenchPort,
    BenchEdid,
    Port,
    DdcciFast,
    DdcciWaitScale,
    WaitForChannel,
    AnyMonitor,
    Model,
    Protocol,
    Trace,
    ReadOnly,
    Json,
    Stats,
    Decode,
    ModelOut,
    Monitor,
    Verify,
    NoBackup,
    PatternMode,
    Output,
    Seconds,
    Force,
    ConfirmWithin,
};

struct OptionForm {
    std::string_view name;
    Option option;
    std::string_view valueName;  // empty for a flag
};

constexpr OptionForm kOptions[] = {
    {"--bench", Option::Bench, ""},
    {"--bench-fault", Option::BenchFault, "NAME or NAME=N"},
    {"--bench-port", Option::BenchPort, "i2c or parport"},
    {"--bench-edid", Option::BenchEdid, "an EDID file"},
    {"--port", Option::Port, "a device: /dev/i2c-N, i2c-N, /dev/parportN or parportN"},
    {"--ddcci-fast", Option::DdcciFast, ""},
    {"--ddcci-wait-scale", Option::DdcciWaitScale, "a factor from 0.5 to 10"},
    {"--wait-for-channel", Option::WaitForChannel, "seconds from 0 to 600"},
    {"--any-monitor", Option::AnyMonitor, ""},
    {"--model", Option::Model, "a model file or name"},
    {"--protocol", Option::Protocol, "ddc2bi or slave"},
    {"--trace", Option::Trace, ""},
    {"--read-only", Option::ReadOnly, ""},
    {"--json", Option::Json, ""},
    {"--stats", Option::Stats, ""},
    {"--decode", Option::Decode, ""},
    {"--model-out", Option::ModelOut, "a model file to write"},
    {"--monitor", Option::Monitor, ""},
    {"--verify", Option::Verify, ""},
    {"--no-backup", Option::NoBackup, ""},
    {"--mode", Option::PatternMode, "a line of the model's timing list (0 is the first)"},
    {"--output", Option::Output, "a connector as xrandr names it (DVI-I-1, VGA-1)"},
    {"--seconds", Option::Seconds, "seconds from 0 to 86400"},
    {"--force", Option::Force, ""},
    {"--confirm-within", Option::ConfirmWithin, "seconds from 1 to 60"},
};

// The options of the pattern command alone.
bool patternOption(Option option) {
    return option == Option::PatternMode || option == Option::Output || option == Option::Seconds ||
           option == Option::Force || option == Option::ConfirmWithin;
}

std::optional<int> hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

constexpr std::size_t kMaxHexDigits = 8;
constexpr std::size_t kMaxDecimalDigits = 9;

bool markedHex(std::string_view text) {
    return (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) ||
           (!text.empty() && (text.back() == 'h' || text.back() == 'H'));
}

// Checks one argument; the reason when it is not acceptable.
std::string readArgument(Argument kind, const std::string& text, Invocation& invocation) {
    if (kind == Argument::File || kind == Argument::SecondFile) {
        if (text.empty()) return "the file name is empty";
        (kind == Argument::File ? invocation.file : invocation.secondFile) = text;
        return {};
    }
    const bool hex = kind == Argument::Code || kind == Argument::Address || kind == Argument::AnyAddress;
    const auto number = hex ? parseHexNumber(text) : parseDecimalNumber(text);
    if (!number) {
        if (hex) return "\"" + text + "\" is not a hexadecimal number (10, 0x10, 10h)";
        return "\"" + text + "\" is not a number: decimal (50), or hexadecimal written 0x32 or 32h";
    }
    const bool byte = kind == Argument::Code || kind == Argument::Address || kind == Argument::Value;
    if (byte && (*number < 0 || *number > 0xFF)) {
        return "\"" + text + "\" is outside " + (hex ? "00..FF" : "0..255 (00h..FFh)");
    }
    if (kind == Argument::WideValue && (*number < 0 || *number > 0xFFFF)) {
        return "\"" + text + "\" is outside 0..65535 (0000h..FFFFh)";
    }
    if (kind == Argument::Page && (*number < 0 || *number > 3)) return "page \"" + text + "\" is outside 0..3";
    if (kind == Argument::Block && (*number < 0 || *number > 255)) {
        return "block \"" + text + "\" is outside 0..255";
    }
    invocation.numbers.push_back(*number);
    return {};
}

const CommandForm* findCommand(std::string_view name) {
    for (const auto& form : commandForms()) {
        if (form.name == name) return &form;
    }
    return nullptr;
}

const OptionForm* findOption(std::string_view name) {
    for (const auto& form : kOptions) {
        if (form.name == name) return &form;
    }
    return nullptr;
}

// "-5" is a (refused) number, not an option.
bool looksLikeOption(const std::string& word) {
    if (word.size() < 2 || word[0] != '-') return false;
    return !(word[1] >= '0' && word[1] <= '9');
}

// Applies one option and its value; the reason when it is refused.
std::string applyOption(Option option, const std::string& value, Invocation& invocation) {
    switch (option) {
    case Option::Bench: invocation.bench = true; break;
    case Option::Trace: invocation.trace = true; break;
    case Option::ReadOnly: invocation.readOnly = true; break;
    case Option::Json: invocation.json = true; break;
    case Option::Stats: invocation.stats = true; break;
    case Option::DdcciFast: invocation.ddcciFast = true; break;
    case Option::AnyMonitor: invocation.anyMonitor = true; break;
    case Option::DdcciWaitScale: {
        // A factor with at most two decimals: 1.5 waits half as long again.
        const std::size_t point = value.find('.');
        const std::string whole = value.substr(0, point);
        std::string fraction = point == std::string::npos ? "" : value.substr(point + 1);
        const auto units = parseDecimalNumber(whole.empty() ? "0" : whole);
        if (fraction.size() < 2) fraction.resize(2, '0');
        const auto hundredths = fraction.size() == 2 ? parseDecimalNumber(fraction) : std::nullopt;
        const std::int64_t percent = units && hundredths && *units >= 0 && *hundredths >= 0 ? *units * 100 + *hundredths : -1;
        if (percent < 50 || percent > link::kMaxWaitScalePercent) {
            return "--ddcci-wait-scale takes a factor from 0.5 to 10 (2 doubles every reply wait), not \"" + value + "\"";
        }
        invocation.waitScalePercent = static_cast<std::int32_t>(percent);
        break;
    }
    case Option::WaitForChannel: {
        const auto seconds = parseDecimalNumber(value);
        if (!seconds || *seconds < 0 || *seconds > 600) {
            return "--wait-for-channel takes seconds from 0 to 600, not \"" + value + "\"";
        }
        invocation.waitForChannelMs = static_cast<std::int32_t>(*seconds * 1000);
        break;
    }
    case Option::Decode: invocation.decode = true; break;
    case Option::ModelOut:
        if (value.empty()) return "--model-out needs a file name";
        invocation.modelOut = value;
        break;
    case Option::Monitor: invocation.againstMonitor = true; break;
    case Option::Verify: invocation.verify = true; break;
    case Option::NoBackup: invocation.noBackup = true; break;
    case Option::Force: invocation.force = true; break;
    case Option::Output: invocation.output = value; break;
    case Option::PatternMode:
    case Option::Seconds:
    case Option::ConfirmWithin: {
        const auto number = parseDecimalNumber(value);
        const std::int64_t low = option == Option::ConfirmWithin ? 1 : 0;
        const std::int64_t high = option == Option::PatternMode ? 31 : option == Option::Seconds ? 86400 : 60;
        const char* name = option == Option::PatternMode ? "--mode" : option == Option::Seconds ? "--seconds" : "--confirm-within";
        if (!number || *number < low || *number > high) {
            return std::string(name) + " takes a number from " + std::to_string(low) + " to " + std::to_string(high) +
                   ", not \"" + value + "\"";
        }
        if (option == Option::PatternMode) invocation.patternMode = *number;
        else if (option == Option::Seconds) invocation.patternSeconds = *number;
        else invocation.confirmWithinSeconds = *number;
        break;
    }
    case Option::Model: invocation.modelPath = value; break;
    case Option::BenchFault: invocation.benchFaults.push_back(value); break;
    case Option::Port: invocation.port = value; break;
    case Option::BenchEdid: invocation.benchEdidPath = value; break;
    case Option::Protocol:
        if (value == "ddc2bi") invocation.protocol = link::ReplyMode::MasterRead;
        else if (value == "slave") invocation.protocol = link::ReplyMode::SlaveReceive;
        else return "--protocol takes ddc2bi or slave, not \"" + value + "\"";
        break;
    case Option::BenchPort:
        if (value == "i2c") invocation.benchPort = BenchPort::I2c;
        else if (value == "parport") invocation.benchPort = BenchPort::Parport;
        else return "--bench-port takes i2c or parport, not \"" + value + "\"";
        break;
    }
    return {};
}

std::string benchFaultList() {
    std::string text;
    for (const auto& fault : bench::benchFaultNames()) {
        std::string name = "  " + std::string(fault.name);
        if (fault.argument != bench::FaultArgument::None) {
            name += fault.defaultNumber >= 0 ? "[=N]" : "=N";
            if (fault.argument == bench::FaultArgument::MemoryForm) name = "  " + std::string(fault.name) + "=FORM";
            if (fault.argument == bench::FaultArgument::Location) name = "  " + std::string(fault.name) + "=PAGE:ADDR";
        }
        name.resize(std::max<std::size_t>(name.size() + 1, 24), ' ');
        text += name + std::string(fault.help) + "\n";
    }
    return text;
}

ParsedArguments failure(std::string reason) { return {std::nullopt, std::move(reason)}; }

}  // namespace

std::optional<std::int64_t> parseHexNumber(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    } else if (!text.empty() && (text.back() == 'h' || text.back() == 'H')) {
        text.remove_suffix(1);
    }
    if (text.empty() || text.size() > kMaxHexDigits) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        const auto digit = hexDigit(c);
        if (!digit) return std::nullopt;
        value = value * 16 + *digit;
    }
    return value;
}

std::optional<std::int64_t> parseDecimalNumber(std::string_view text) {
    if (markedHex(text)) return parseHexNumber(text);
    const bool negative = !text.empty() && text[0] == '-';
    if (negative) text.remove_prefix(1);
    if (text.empty() || text.size() > kMaxDecimalDigits) return std::nullopt;
    std::int64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

bool commandNeedsModel(Command command) {
    return command == Command::Items || command == Command::Run || command == Command::Timings ||
           command == Command::Pattern;
}

bool commandUsesMonitor(Command command) {
    return command != Command::Help && command != Command::Version && command != Command::Timings &&
           command != Command::DecodeEdid && command != Command::Detect && command != Command::ParseCapabilities &&
           command != Command::Backups && command != Command::Pattern;
}

bool commandWrites(Command command) {
    return command == Command::SetVcp || command == Command::Service || command == Command::Run ||
           command == Command::WriteMem || command == Command::LoadMem;
}

ParsedArguments parseArguments(std::span<const std::string> arguments) {
    Invocation invocation;
    // --help and --version answer whatever else the line holds.
    for (const std::string& word : arguments) {
        if (word == "--") break;
        if (word == "--help" || word == "-h") {
            invocation.command = Command::Help;
            return {invocation, {}};
        }
        if (word == "--version") {
            invocation.command = Command::Version;
            return {invocation, {}};
        }
    }
    std::vector<std::string> words;  // the command and its arguments
    bool optionsEnded = false;
    std::optional<std::string> patternOptionSeen;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (optionsEnded || !looksLikeOption(word)) {
            words.push_back(word);
            continue;
        }
        if (word == "--") {
            optionsEnded = true;
            continue;
        }
        const std::size_t equals = word.find('=');
        const std::string name = word.substr(0, equals);
        const OptionForm* form = findOption(name);
        if (form == nullptr) return failure(name + ": unknown option");
        std::string value;
        if (form->valueName.empty()) {
            if (equals != std::string::npos) return failure(name + " takes no value");
        } else if (equals != std::string::npos) {
            value = word.substr(equals + 1);
        } else if (i + 1 < arguments.size()) {
            value = arguments[++i];
        } else {
            return failure(name + " needs " + std::string(form->valueName));
        }
        if (std::string reason = applyOption(form->option, value, invocation); !reason.empty()) return failure(reason);
        if (patternOption(form->option) && !patternOptionSeen) patternOptionSeen = std::string(form->name);
    }
    if (!invocation.benchFaults.empty() && !invocation.bench) return failure("--bench-fault needs --bench");
    if (invocation.benchEdidPath && !invocation.bench) return failure("--bench-edid needs --bench");
    if (invocation.port && invocation.bench) return failure("--port and --bench exclude each other (see --bench-port)");
    if (words.empty()) return failure("no command given");

    const CommandForm* form = findCommand(words[0]);
    if (form == nullptr) return failure(words[0] + ": unknown command");
    invocation.command = form->command;
    invocation.commandName = std::string(form->name);
    if (invocation.decode && form->command != Command::Edid) {
        return failure(std::string(form->name) + ": --decode is an option of edid only");
    }
    if (invocation.modelOut && form->command != Command::Capabilities && form->command != Command::ParseCapabilities) {
        return failure(std::string(form->name) + ": --model-out is an option of capabilities and parse-capabilities only");
    }
    if (invocation.verify && form->command != Command::WriteMem && form->command != Command::LoadMem) {
        return failure(std::string(form->name) + ": --verify is an option of write-mem and load-mem only");
    }
    if (invocation.againstMonitor && form->command != Command::DiffMem) {
        return failure(std::string(form->name) + ": --monitor is an option of diff-mem only");
    }
    if (patternOptionSeen && form->command != Command::Pattern) {
        return failure(std::string(form->name) + ": " + *patternOptionSeen + " is an option of pattern only");
    }
    if (form->command == Command::Pattern && invocation.json) {
        return failure("pattern: --json is not offered; the pattern's end is told by the exit status");
    }
    if (form->command == Command::Pattern && !invocation.patternMode) {
        return failure("pattern needs --mode N, a line of the model's timing list (see timings)");
    }
    const std::size_t given = words.size() - 1;
    const bool tooMany = given > form->arguments.size() && !form->repeatsLast;
    if (given < form->optionalFrom || tooMany) {
        std::string usage = std::string(form->name);
        if (!form->argumentNames.empty()) {
            usage += ' ';
            usage += form->argumentNames;
        }
        return failure(std::string(form->name) + ": usage: " + usage);
    }
    for (std::size_t k = 0; k < given; ++k) {
        const Argument kind = form->arguments[std::min(k, form->arguments.size() - 1)];
        std::string reason = readArgument(kind, words[k + 1], invocation);
        if (!reason.empty()) return failure(std::string(form->name) + ": " + reason);
    }
    // The jig's Set VCP request carries one byte; a display channel's two.
    const bool wideValues = invocation.port || (invocation.bench && invocation.benchPort == BenchPort::I2c);
    if (invocation.command == Command::SetVcp && invocation.numbers.size() > 1 && invocation.numbers[1] > 0xFF &&
        !wideValues) {
        return failure("set-vcp: \"" + words[2] + "\" is outside 0..255 (00h..FFh): the jig's Set VCP carries one "
                       "byte; values up to 65535 go through a display channel (--port /dev/i2c-N)");
    }
    if (commandNeedsModel(invocation.command) && !invocation.modelPath) {
        return failure(std::string(form->name) + " needs --model FILE.mdl or --model NAME");
    }
    if (invocation.readOnly && commandWrites(invocation.command)) {
        return failure(std::string(form->name) +
                       ": refused by --read-only, which sends nothing that changes the monitor (values, service "
                       "commands, functions, scripts, EEPROM bytes)");
    }
    if (invocation.command == Command::DiffMem && invocation.againstMonitor == !invocation.secondFile.empty()) {
        return failure("diff-mem: usage: diff-mem FILE FILE, or diff-mem FILE --monitor");
    }
    const bool fileReadsInput = invocation.command == Command::LoadMem || invocation.command == Command::DecodeEdid ||
                                invocation.command == Command::ParseCapabilities;
    const int inputReaders = (invocation.modelPath == kStandardStream ? 1 : 0) +
                             (invocation.benchEdidPath == kStandardStream ? 1 : 0) +
                             (fileReadsInput && invocation.file == kStandardStream ? 1 : 0);
    if (inputReaders > 1) {
        return failure(std::string(form->name) + ": only one of --model, --bench-edid and the FILE can be - (standard input)");
    }
    if (invocation.json && invocation.file == kStandardStream && invocation.command == Command::SaveMem) {
        return failure("save-mem: --json and the file - would both write to standard output");
    }
    return {invocation, {}};
}

std::string usageText() {
    return "usage: velmora-jigctl [OPTIONS] COMMAND [ARGUMENTS] [OPTIONS]\n"
           "\n"
           "The monitor operations of the Velmora Monitor A/S Jig without its window.\n"
           "\n"
           "Numbers: VCP codes, service codes, item codes (as items lists them) and EEPROM\n"
           "addresses are hexadecimal (10, 0x10, 10h). Values, pages and blocks are decimal\n"
           "(50), or hexadecimal written 0x32 or 32h. What a command prints can be typed\n"
           "back: after \"current  50 (32h)\", set-vcp 10 50 and set-vcp 10 32h both write 50.\n"
           "\n"
           "Options (before or after the command; --name=VALUE or --name VALUE; after --\n"
           "every word is an argument):\n"
           "  --bench               run on the virtual bench instead of the parallel port\n"
           "                        (a fresh bench for every run, on its virtual clock)\n"
           "  --bench-fault NAME[=N]  switch on a fault of the bench (repeatable; needs --bench)\n"
           "  --bench-port i2c|parport  reach the bench monitor through the display-channel\n"
           "                        code (i2c, MasterRead models only) or the jig's (parport,\n"
           "                        the default)\n"
           "  --port PATH           the way to the monitor: an i2c-dev node of a graphics\n"
           "                        card's display channel (/dev/i2c-N or i2c-N), or the jig's\n"
           "                        parallel port (/dev/parportN or parportN); default\n"
           "                        /dev/parport0. See detect\n"
           "  --ddcci-fast          on a display channel, wait only what each request asks\n"
           "                        for, not the DDC/CI standard's 40 ms before reading a\n"
           "                        reply and 50 ms between requests\n"
           "  --ddcci-wait-scale F  on a display channel, every reply wait times F (0.5 to 10),\n"
           "                        for monitors slower than the DDC/CI standard asks\n"
           "  --wait-for-channel S  when another program holds the display channel, wait up\n"
           "                        to S seconds for it instead of stopping at once\n"
           "  --any-monitor         on a display channel, send factory requests (service,\n"
           "                        run, memory reads and writes) to whatever monitor answers,\n"
           "                        not only to one the model names in its EDID directives\n"
           "  --model FILE.mdl|NAME compile a model first: its PROTOCOL sets the reply mode,\n"
           "                        its items become runnable. A NAME (vm1995pro) is looked\n"
           "                        for beside the program, in ../share/velmora-jig/models\n"
           "                        and in ~/.local/share/velmora-jig/models. A model with\n"
           "                        compile errors is refused\n"
           "  --protocol ddc2bi|slave  reply mode: the monitor is read as bus master (ddc2bi)\n"
           "                        or replies as master itself (slave); overrides the model\n"
           "  --trace               print the link transcript of every exchange to standard error\n"
           "  --read-only           send nothing that changes the monitor: set-vcp, service,\n"
           "                        run, write-mem and load-mem are refused (exit status 2)\n"
           "  --bench-edid FILE     the bench monitor's EDID from a file, for DDC2B and DDC1\n"
           "                        alike (formats as for decode-edid; needs --bench)\n"
           "  --json                print the result as one JSON document on standard output;\n"
           "                        a failure as {\"error\": TEXT, \"linkError\": N or null}\n"
           "                        (see the manual page for every command's keys)\n"
           "  --stats               afterwards print on standard error what the command cost:\n"
           "                        transactions, retries, bytes, port accesses, waits, time\n"
           "  --decode              edid: print the block decoded instead of the grid\n"
           "  --model-out FILE.mdl  (parse-)capabilities: also write a model made from the\n"
           "                        capabilities, a starting point for its author\n"
           "  --verify              write-mem, load-mem: read every written byte back and stop\n"
           "                        at the first that did not take, naming its address (exit 1)\n"
           "  --no-backup           write without the EEPROM backup otherwise made before the\n"
           "                        first write to a monitor (see backups)\n"
           "  --monitor             diff-mem: compare the file with the monitor's EEPROM\n"
           "  --help, -h            this text\n"
           "  --version             the program's version\n"
           "\n"
           "Commands:\n"
           "  read-vcp CODE...      print the current value and maximum of VCP controls\n"
           "                        (several codes are read in one session)\n"
           "  set-vcp CODE VALUE    write a VCP value (0..255 through the jig, 0..65535\n"
           "                        through a display channel)\n"
           "  service CODE          send a service command; prints OK\n"
           "  items                 list every page's items (VCP code or PAGE:ADDR, name,\n"
           "                        value) and functions (item code for run, name)\n"
           "  run ITEM              run the function with this item code; prints OK\n"
           "  read-mem PAGE ADDR    print one EEPROM byte\n"
           "  write-mem PAGE ADDR VALUE  write one EEPROM byte\n"
           "  edid [BLOCK]          print a DDC2B block (default 0) as the Memory & Edid grid\n"
           "  edid --decode [BLOCK] read a DDC2B block and print it decoded\n"
           "  decode-edid FILE      decode an EDID file without a monitor: raw bytes (128 or\n"
           "                        more) or hex text (pairs of hex digits, any blanks)\n"
           "  crt-time              print the picture tube's on-time\n"
           "  timings               print the model's preset timing list\n"
           "  save-mem FROMPAGE FROMADDR TOPAGE TOADDR FILE  save an EEPROM range to a .mem file\n"
           "  load-mem FILE         write a .mem file back into the EEPROM\n"
           "  diff-mem FILE FILE    print every byte two .mem files of the same range hold\n"
           "                        differently (page, address, old -> new); exit 0 equal,\n"
           "                        1 different, 2 trouble, as cmp\n"
           "  diff-mem FILE --monitor  the same, the file against the monitor's EEPROM\n"
           "  backups               list the EEPROM backups (monitor, date, pages, size,\n"
           "                        folder). Before the first write to a monitor (write-mem,\n"
           "                        load-mem, a run or service command that saves or writes\n"
           "                        memory) of which no backup exists, every EEPROM page is\n"
           "                        saved to $XDG_DATA_HOME/velmora-jig/backups/MONITOR_DATE/\n"
           "                        (~/.local/share/...) as page0.mem to page3.mem for\n"
           "                        load-mem; a failed backup writes nothing\n"
           "  detect                list the display channels (/dev/i2c-*: adapter, EDID at\n"
           "                        0x50, DDC/CI at 0x37) and parallel ports (board line\n"
           "                        test); exit 0 when a monitor was found, 1 when none\n"
           "  capabilities          read the monitor's DDC/CI capabilities string and print\n"
           "                        it parsed: model, commands, features by their MCCS names\n"
           "  parse-capabilities FILE  parse a saved capabilities string without a monitor;\n"
           "                        each flaw is a warning with its offset; binary data is\n"
           "                        refused (exit status 2)\n"
           "  pattern NAME --mode N [--output CONNECTOR] [--seconds S] [--force]\n"
           "                        set line N of the model's timing list on the output (X11)\n"
           "                        and show a test pattern there for S seconds, or until a\n"
           "                        key (Enter keeps a new mode, Space next pattern, Page\n"
           "                        Up/Down mode, H caption, Esc ends) or a signal; then the\n"
           "                        previous mode comes back. A new mode not kept within\n"
           "                        --confirm-within S seconds (15) is taken back. Modes\n"
           "                        outside the monitor's EDID range limits are refused\n"
           "                        (exit 2) unless --force. NAME: crosshatch, dots, circles,\n"
           "                        border, colour-bars, purity-red|green|blue|white|black,\n"
           "                        convergence-red|green|blue, grey-steps,\n"
           "                        grey-window-low|high, focus, moire\n"
           "\n"
           "A FILE of - is standard input (load-mem, decode-edid, parse-capabilities) or\n"
           "standard output (save-mem); --model - and --bench-edid - read standard input\n"
           "too, one of them at a time. items, run, timings and pattern need --model.\n"
           "save-mem, load-mem, items and the long functions show a progress line on\n"
           "standard error when it is a terminal.\n"
           "Ctrl-C stops after the byte or request in flight and says what was done.\n"
           "\n"
           "Results go to standard output; every failure to standard error as\n"
           "\"velmora-jigctl: WHAT: WHY\".\n"
           "Exit status: 0 success; 1 the monitor operation failed; 2 bad usage, a model\n"
           "that cannot be loaded or has compile errors, a request refused by --read-only,\n"
           "or a range or file that is refused before anything is sent (an EDID without\n"
           "header or shorter than 128 bytes too; a wrong checksum is decoded and flagged);\n"
           "130 interrupted (Ctrl-C). A display channel that cannot be opened, and a model\n"
           "that replies in SlaveReceive mode on one, end with 1 and the remedy.\n"
           "\n"
           "Bench faults:\n" +
           benchFaultList();
}

std::string versionText() { return std::string("velmora-jigctl ") + VELMORA_VERSION + "\n"; }

}  // namespace velmora::apps::jigctl
