#include "bench/bench_faults.h"

#include <charconv>
#include <limits>

namespace velmora::bench {

namespace {

constexpr BenchFaultName kNames[] = {
    {"no-board", FaultArgument::None, 0, "no interface board on the port"},
    {"no-monitor", FaultArgument::None, 0, "no device on the bus acknowledges"},
    {"sda-low", FaultArgument::None, 0, "SDA held low on the bus"},
    {"scl-stretch", FaultArgument::Number, -1, "monitor holds SCL low N status reads per acknowledge"},
    {"bad-checksum", FaultArgument::Number, 1, "the next N replies have a wrong checksum"},
    {"garbled-reply", FaultArgument::Number, 1, "the next N replies arrive with their first byte corrupted"},
    {"short-reply", FaultArgument::Number, 1, "the next N replies keep only two payload bytes, framed to match"},
    {"reply-delay", FaultArgument::Number, -1, "replies are ready N ms after the request"},
    {"no-slave-reply", FaultArgument::None, 0, "no reply to requests from source 0x50"},
    {"oversize-reply", FaultArgument::Number, 300, "slave-mode replies padded to N bytes"},
    {"memory-form", FaultArgument::MemoryForm, -1, "memory requests understood: bypage, bydevice or both"},
    {"ddc1", FaultArgument::Number, -1, "monitor streams its EDID on SDA (DDC1), N ms per bit"},
    {"ddc1-silent-after", FaultArgument::Number, -1, "the DDC1 stream stops N ms after start"},
    {"busy-replies", FaultArgument::Number, 1, "the next N reads of a reply get the null message 6E 80 BE (busy)"},
    {"double-source", FaultArgument::Number, 1, "the next N replies read at 0x6F begin with 6E twice"},
    {"malformed-capabilities", FaultArgument::None, 0, "the capabilities string as careless firmware sends it"},
    {"write-lost", FaultArgument::Location, -1,
     "writes to EEPROM page P (decimal) address A (hex) are acknowledged but do not take"},
};

bool parseNumber(std::string_view text, std::int32_t& value) {
    if (text.empty()) return false;
    const auto* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && value >= 0;
}

bool parseMemoryForm(std::string_view text, MemoryForm& form) {
    if (text == "bypage") form = MemoryForm::ByPage;
    else if (text == "bydevice") form = MemoryForm::ByDevice;
    else if (text == "both") form = MemoryForm::Both;
    else return false;
    return true;
}

void setNumber(std::string_view name, std::int32_t value, BenchFaults& faults) {
    if (name == "scl-stretch") faults.sclStretchReads = value;
    else if (name == "bad-checksum") faults.badChecksumReplies = value;
    else if (name == "garbled-reply") faults.garbledReplies = value;
    else if (name == "short-reply") faults.shortReplies = value;
    else if (name == "reply-delay") faults.replyDelayMs = value;
    else if (name == "oversize-reply") faults.oversizeReplyBytes = value;
    else if (name == "ddc1") faults.ddc1BitTimeMs = value;
    else if (name == "ddc1-silent-after") faults.ddc1SilentAfterMs = value;
    else if (name == "busy-replies") faults.busyReplies = value;
    else if (name == "double-source") faults.doubledSourceReplies = value;
}

void setFlag(std::string_view name, BenchFaults& faults) {
    if (name == "no-board") faults.noBoard = true;
    else if (name == "no-monitor") faults.noMonitor = true;
    else if (name == "sda-low") faults.sdaLow = true;
    else if (name == "no-slave-reply") faults.noSlaveReply = true;
    else if (name == "malformed-capabilities") faults.malformedCapabilities = true;
}

// "PAGE:ADDR": a decimal page 0..3 and a hexadecimal address 00..FF.
bool parseLocation(std::string_view text, std::int32_t& location) {
    const auto colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 >= text.size() || text.size() - colon - 1 > 2) {
        return false;
    }
    std::int32_t page = 0;
    std::int32_t address = 0;
    const std::string_view pageText = text.substr(0, colon);
    const std::string_view addressText = text.substr(colon + 1);
    const auto pageResult = std::from_chars(pageText.data(), pageText.data() + pageText.size(), page);
    const auto addressResult =
        std::from_chars(addressText.data(), addressText.data() + addressText.size(), address, 16);
    if (pageResult.ec != std::errc() || pageResult.ptr != pageText.data() + pageText.size()) return false;
    if (addressResult.ec != std::errc() || addressResult.ptr != addressText.data() + addressText.size()) return false;
    if (page < 0 || page > 3 || address < 0 || address > 0xFF) return false;
    location = page * 256 + address;
    return true;
}

std::string knownNames() {
    std::string list;
    for (const auto& entry : kNames) {
        if (!list.empty()) list += ", ";
        list += entry.name;
    }
    return list;
}

// The refused text in quotes, to start a refusal with. Built by appending:
// GCC 12 at -O3 warns (-Wrestrict) about `"literal" + std::string(...)`.
std::string quotedForRefusal(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 4);
    quoted += '"';
    quoted += text;
    quoted += "\": ";
    return quoted;
}

}  // namespace

std::span<const BenchFaultName> benchFaultNames() { return kNames; }

std::string applyBenchFault(std::string_view text, BenchFaults& faults) {
    const auto equals = text.find('=');
    const std::string_view name = text.substr(0, equals);
    const bool hasValue = equals != std::string_view::npos;
    const std::string_view value = hasValue ? text.substr(equals + 1) : std::string_view{};

    for (const auto& entry : kNames) {
        if (entry.name != name) continue;
        const std::string quoted = quotedForRefusal(text);
        switch (entry.argument) {
        case FaultArgument::None:
            if (hasValue) return quoted + std::string(name) + " takes no value";
            setFlag(name, faults);
            return {};
        case FaultArgument::Number: {
            std::int32_t number = entry.defaultNumber;
            if (hasValue ? !parseNumber(value, number) : number < 0) {
                return quoted + std::string(name) + " needs =N, N a whole number from 0 to " +
                       std::to_string(std::numeric_limits<std::int32_t>::max());
            }
            setNumber(name, number, faults);
            return {};
        }
        case FaultArgument::MemoryForm: {
            MemoryForm form{};
            if (!parseMemoryForm(value, form)) return quoted + "memory-form needs =bypage, =bydevice or =both";
            faults.memoryForm = form;
            return {};
        }
        case FaultArgument::Location: {
            std::int32_t location = -1;
            if (!parseLocation(value, location)) {
                return quoted + "write-lost needs =PAGE:ADDR, a page 0..3 and a hexadecimal address 00..FF (1:3F)";
            }
            faults.lostWriteLocation = location;
            return {};
        }
        }
    }
    return quotedForRefusal(text) + "unknown bench fault; known: " + knownNames();
}

}  // namespace velmora::bench
