#include "apps/velmora-jigctl/jigctl_arguments.h"

#include <algorithm>

#include "bench/bench_faults.h"
#include "apps/velmora-jigctl/jigctl_edid.h"

namespace velmora::apps::jigctl {

namespace {

enum class Argument {
    HexByte,     // 00..FF
    Page,        // decimal 0..3
    Block,       // decimal 0..255
    AnyDecimal,  // save-mem pages: judged by the Save Memory checks
    AnyHex,      // save-mem addresses: likewise
    File,
};

struct CommandForm {
    std::string_view name;
    Command command;
    std::vector<Argument> arguments;
    std::size_t optionalFrom;  // arguments from here on may be left out
    std::string_view argumentNames;
};

const std::vector<CommandForm>& commandForms() {
    static const std::vector<CommandForm> forms{
        {"read-vcp", Command::ReadVcp, {Argument::HexByte}, 1, "CODE"},
        {"set-vcp", Command::SetVcp, {Argument::HexByte, Argument::HexByte}, 2, "CODE VALUE"},
        {"service", Command::Service, {Argument::HexByte}, 1, "CODE"},
        {"items", Command::Items, {}, 0, ""},
        {"run", Command::Run, {Argument::HexByte}, 1, "CODE"},
        {"read-mem", Command::ReadMem, {Argument::Page, Argument::HexByte}, 2, "PAGE ADDR"},
        {"write-mem", Command::WriteMem, {Argument::Page, Argument::HexByte, Argument::HexByte}, 3,
         "PAGE ADDR VALUE"},
        {"edid", Command::Edid, {Argument::Block}, 0, "[--decode [--json]] [BLOCK]"},
        {"crt-time", Command::CrtTime, {}, 0, ""},
        {"timings", Command::Timings, {}, 0, ""},
        {"save-mem", Command::SaveMem,
         {Argument::AnyDecimal, Argument::AnyHex, Argument::AnyDecimal, Argument::AnyHex, Argument::File}, 5,
         "FROMPAGE FROMADDR TOPAGE TOADDR FILE"},
        {"load-mem", Command::LoadMem, {Argument::File}, 1, "FILE"},
        {"decode-edid", Command::DecodeEdid, {Argument::File}, 1, "[--json] FILE"},
        {"detect", Command::Detect, {}, 0, ""},
    };
    return forms;
}

std::optional<int> hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return std::nullopt;
}

constexpr std::size_t kMaxHexDigits = 8;
constexpr std::size_t kMaxDecimalDigits = 9;

// Checks one argument; the reason when it is not acceptable.
std::string readArgument(Argument kind, const std::string& text, Invocation& invocation) {
    if (kind == Argument::File) {
        if (text.empty()) return "the file name is empty";
        invocation.file = text;
        return {};
    }
    const bool hex = kind == Argument::HexByte || kind == Argument::AnyHex;
    const auto number = hex ? parseHexNumber(text) : parseDecimalNumber(text);
    if (!number) {
        return "\"" + text + "\" is not a " + (hex ? "hexadecimal number (10, 0x10, 10h)" : "decimal number");
    }
    if (kind == Argument::HexByte && (*number < 0 || *number > 0xFF)) {
        return "\"" + text + "\" is outside 00..FF";
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

std::string benchFaultList() {
    std::string text;
    for (const auto& fault : bench::benchFaultNames()) {
        std::string name = "  " + std::string(fault.name);
        if (fault.argument != bench::FaultArgument::None) {
            name += fault.defaultNumber >= 0 ? "[=N]" : "=N";
            if (fault.argument == bench::FaultArgument::MemoryForm) name = "  " + std::string(fault.name) + "=FORM";
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
    return command == Command::Items || command == Command::Run || command == Command::Timings;
}

bool commandUsesMonitor(Command command) {
    return command != Command::Help && command != Command::Timings && command != Command::DecodeEdid &&
           command != Command::Detect;
}

ParsedArguments parseArguments(std::span<const std::string> arguments) {
    Invocation invocation;
    std::size_t i = 0;
    for (; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (option.empty() || option[0] != '-' || option == "-") break;
        const bool hasValue = i + 1 < arguments.size();
        if (option == "--help" || option == "-h") {
            invocation.command = Command::Help;
            return {invocation, {}};
        } else if (option == "--bench") {
            invocation.bench = true;
        } else if (option == "--trace") {
            invocation.trace = true;
        } else if (option == "--read-only") {
            invocation.readOnly = true;
        } else if (option == "--json") {
            invocation.json = true;
        } else if (option == "--stats") {
            invocation.stats = true;
        } else if (option == "--model") {
            if (!hasValue) return failure("--model needs a model file or name");
            invocation.modelPath = arguments[++i];
        } else if (option == "--protocol") {
            if (!hasValue) return failure("--protocol needs ddc2bi or slave");
            const std::string& mode = arguments[++i];
            if (mode == "ddc2bi") invocation.protocol = link::ReplyMode::MasterRead;
            else if (mode == "slave") invocation.protocol = link::ReplyMode::SlaveReceive;
            else return failure("--protocol takes ddc2bi or slave, not \"" + mode + "\"");
        } else if (option == "--bench-fault") {
            if (!hasValue) return failure("--bench-fault needs NAME or NAME=N");
            invocation.benchFaults.push_back(arguments[++i]);
        } else if (option == "--port") {
            if (!hasValue) return failure("--port needs a device: /dev/i2c-N, i2c-N, /dev/parportN or parportN");
            invocation.port = arguments[++i];
        } else if (option == "--bench-port") {
            if (!hasValue) return failure("--bench-port needs i2c or parport");
            const std::string& way = arguments[++i];
            if (way == "i2c") invocation.benchPort = BenchPort::I2c;
            else if (way == "parport") invocation.benchPort = BenchPort::Parport;
            else return failure("--bench-port takes i2c or parport, not \"" + way + "\"");
        } else if (option == "--ddcci-fast") {
            invocation.ddcciFast = true;
        } else if (option == "--bench-edid") {
            if (!hasValue) return failure("--bench-edid needs an EDID file");
            invocation.benchEdidPath = arguments[++i];
        } else {
            return failure("unknown option " + option);
        }
    }
    if (!invocation.benchFaults.empty() && !invocation.bench) return failure("--bench-fault needs --bench");
    if (invocation.benchEdidPath && !invocation.bench) return failure("--bench-edid needs --bench");
    if (invocation.port && invocation.bench) return failure("--port and --bench exclude each other (see --bench-port)");
    if (i == arguments.size()) return failure("no command given");

    const CommandForm* form = findCommand(arguments[i]);
    if (form == nullptr) return failure("unknown command " + arguments[i]);
    invocation.command = form->command;
    std::vector<std::string> commandArguments(arguments.begin() + static_cast<std::ptrdiff_t>(i) + 1, arguments.end());
    if (std::string reason = takeEdidFlags(commandArguments, invocation); !reason.empty()) {
        return failure(std::string(form->name) + ": " + reason);
    }
    const std::size_t given = commandArguments.size();
    if (given < form->optionalFrom || given > form->arguments.size()) {
        std::string usage = std::string(form->name);
        if (!form->argumentNames.empty()) {
            usage += ' ';
            usage += form->argumentNames;
        }
        return failure("usage: " + usage);
    }
    for (std::size_t k = 0; k < given; ++k) {
        std::string reason = readArgument(form->arguments[k], commandArguments[k], invocation);
        if (!reason.empty()) return failure(std::string(form->name) + ": " + reason);
    }
    if (commandNeedsModel(invocation.command) && !invocation.modelPath) {
        return failure(std::string(form->name) + " needs --model FILE.mdl or --model NAME");
    }
    return {invocation, {}};
}

std::string usageText() {
    return "usage: velmora-jigctl [OPTIONS] COMMAND [ARGUMENTS]\n"
           "\n"
           "The monitor operations of the Velmora Monitor A/S Jig without its window.\n"
           "Codes, values and addresses are hexadecimal (10, 0x10 and 10h alike);\n"
           "pages and blocks are decimal.\n"
           "\n"
           "Options:\n"
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
           "  --model FILE.mdl|NAME compile a model first: its PROTOCOL sets the reply mode,\n"
           "                        its items become runnable. A NAME (vm1995pro) is looked\n"
           "                        for beside the program, in ../share/velmora-jig/models\n"
           "                        and in ~/.local/share/velmora-jig/models\n"
           "  --protocol ddc2bi|slave  reply mode: the monitor is read as bus master (ddc2bi)\n"
           "                        or replies as master itself (slave); overrides the model\n"
           "  --trace               print the link transcript of every exchange to standard error\n"
           "  --read-only           start with write-enabled mode off (protected requests refused)\n"
           "  --bench-edid FILE     the bench monitor's EDID from a file, for DDC2B and DDC1\n"
           "                        alike (formats as for decode-edid; needs --bench)\n"
           "  --json                print the result as one JSON object or list (a decoded\n"
           "                        EDID for decode-edid and edid --decode); a failure as\n"
           "                        {\"error\": TEXT, \"code\": LINK ERROR CODE}\n"
           "  --stats               afterwards print on standard error what the command cost:\n"
           "                        transactions, retries, bytes, port accesses, waits, time\n"
           "  --help                this text\n"
           "\n"
           "Commands:\n"
           "  read-vcp CODE         print the current value and maximum of a VCP control\n"
           "  set-vcp CODE VALUE    write a VCP value\n"
           "  service CODE          send a service command; prints OK or Error\n"
           "  items                 list every page's items and functions as the console does\n"
           "  run CODE              run the function with this item code; prints OK or Error\n"
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
           "  detect                list the display channels (/dev/i2c-*: adapter, EDID at\n"
           "                        0x50, DDC/CI at 0x37) and parallel ports (board line\n"
           "                        test); exit 0 when a monitor was found, 1 when none\n"
           "\n"
           "items, run and timings need --model. save-mem, load-mem and items show a progress\n"
           "line on standard error when it is a terminal.\n"
           "\n"
           "Exit status: 0 success, 1 the monitor operation failed, 2 bad usage, a model\n"
           "that cannot be loaded, or a range or file that is refused before anything is sent;\n"
           "an EDID without header or shorter than 128 bytes is refused with 2 (a wrong\n"
           "checksum is decoded and flagged). A display channel that cannot be opened, and\n"
           "a model that replies in SlaveReceive mode on one, end with 1 and the remedy.\n"
           "\n"
           "Bench faults:\n" +
           benchFaultList();
}

}  // namespace velmora::apps::jigctl
