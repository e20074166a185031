#include "bench/monitor_state.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "bench/capabilities_answer.h"

namespace velmora::bench {

namespace {

std::string hex(std::uint8_t value) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", value);
    return text;
}

std::vector<std::uint8_t> bytesOf(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

bool understandsByPage(const BenchFaults& faults) { return faults.memoryForm != MemoryForm::ByDevice; }
bool understandsByDevice(const BenchFaults& faults) { return faults.memoryForm != MemoryForm::ByPage; }

// Device byte of the device form: A0 | 2 x page. 62 also accepts a page.
std::optional<std::size_t> pageOfDevice(std::uint8_t device, bool acceptPage) {
    if (device >= 0xA0 && device <= 0xA7) return (device - 0xA0u) >> 1;
    if (acceptPage && device < MonitorState::kPages) return device;
    return std::nullopt;
}

}  // namespace

std::array<MonitorState::VcpControl, 256> MonitorState::defaultVcp() {
    std::array<VcpControl, 256> table{};
    const auto set = [&table](std::uint8_t code, std::uint16_t current, std::uint16_t maximum) {
        table[code].current = current;
        table[code].maximum = maximum;
    };
    set(0x10, 50, 100);
    set(0x12, 80, 100);
    set(0x14, 0, 3);
    set(0xDE, 30, 100);
    set(0x00, 0, 1);
    set(0x01, 0, 1);
    set(0x0E, 1056, 2047);
    return table;
}

std::uint8_t MonitorState::defaultMemoryByte(std::size_t page, std::size_t address) {
    return static_cast<std::uint8_t>(0x11 + 0x40 * page + 7 * address);
}

MonitorState::MonitorState() : vcp(defaultVcp()), capabilities(defaultBenchCapabilities()) {
    for (std::size_t page = 0; page < kPages; ++page) {
        for (std::size_t address = 0; address < kPageBytes; ++address) {
            memory[page][address] = defaultMemoryByte(page, address);
        }
    }
}

std::optional<std::vector<std::uint8_t>> MonitorState::handle(std::span<const std::uint8_t> payload,
                                                              const BenchFaults& faults, BenchLog& log,
                                                              std::int64_t timeMicroseconds) {
    Context context{faults, log, timeMicroseconds};
    if (payload.empty()) return std::nullopt;
    if (payload.size() == 1) return service(payload[0], context);
    switch (payload[0]) {
    case 0x01: return readVcp(payload);
    case 0x03: return setVcp(payload, context);
    case 0x52: return storeModeTable(payload, context);
    case 0xC0: return vendorRequest(payload, context);
    case 0xC1: return readByPage(payload, context);
    case 0x60: return readByDevice(payload, context);
    case 0x62: return writeByDevice(payload, context);
    case 0xF3:
        if (payload.size() < 3) return std::nullopt;
        return capabilitiesFragment(faults.malformedCapabilities ? malformedCapabilities(capabilities) : capabilities,
                                    payload);
    default: return std::vector<std::uint8_t>{static_cast<std::uint8_t>(payload[0] + 1), 0x00};
    }
}

MonitorState::Reply MonitorState::readVcp(std::span<const std::uint8_t> p) {
    const std::uint8_t code = p[1];
    const VcpControl& control = vcp[code];
    if (!control.supported) return std::vector<std::uint8_t>{0x02, 0x01, code, 0, 0, 0, 0, 0};
    const auto high = [](std::uint16_t value) { return static_cast<std::uint8_t>(value >> 8); };
    const auto low = [](std::uint16_t value) { return static_cast<std::uint8_t>(value & 0xFF); };
    return std::vector<std::uint8_t>{0x02, 0x00, code, 0x00, high(control.maximum), low(control.maximum),
                                     high(control.current), low(control.current)};
}

MonitorState::Reply MonitorState::setVcp(std::span<const std::uint8_t> p, Context& c) {
    if (p.size() < 4) return std::nullopt;
    VcpControl& control = vcp[p[1]];
    if (!control.supported) return std::nullopt;
    const unsigned requested = (static_cast<unsigned>(p[2]) << 8) | p[3];
    control.current = static_cast<std::uint16_t>(std::min<unsigned>(requested, control.maximum));
    const auto lowByte = static_cast<std::uint8_t>(control.current & 0xFF);
    c.log.record(c.time, BenchEventKind::VcpSet, {p[1], lowByte},
                 "VCP " + hex(p[1]) + " := " + (control.current > 0xFF ? std::to_string(control.current) : hex(lowByte)));
    return std::nullopt;
}

MonitorState::Reply MonitorState::service(std::uint8_t code, Context& c) {
    const bool refused = isRefusedServiceCode(code);
    c.log.record(c.time, BenchEventKind::ServiceCommand, {code},
                 "service " + hex(code) + (refused ? " refused" : " done"));
    return std::vector<std::uint8_t>{code, static_cast<std::uint8_t>(refused ? 0xEE : 0x00)};
}

MonitorState::Reply MonitorState::storeModeTable(std::span<const std::uint8_t> p, Context& c) {
    StoredTable& table = modeTables[p[1]];
    table.stored = true;
    table.values = bytesOf(p.subspan(2));
    c.log.record(c.time, BenchEventKind::ModeTableStored, bytesOf(p), "mode table " + hex(p[1]));
    return std::vector<std::uint8_t>{0x53, p[1]};
}

MonitorState::Reply MonitorState::vendorRequest(std::span<const std::uint8_t> p, Context& c) {
    const std::uint8_t sub = p[1];
    if (sub == 0x0B) {
        return std::vector<std::uint8_t>{0xC1, 0x0B, static_cast<std::uint8_t>(onTimeTenMinutes >> 16),
                                         static_cast<std::uint8_t>(onTimeTenMinutes >> 8),
                                         static_cast<std::uint8_t>(onTimeTenMinutes)};
    }
    if (sub == 0x07 && p.size() >= 4) {
        StoredTable& table = userTables[p[2]];
        table.stored = true;
        table.parameter = p[3];
        table.values = bytesOf(p.subspan(4));
        c.log.record(c.time, BenchEventKind::UserTableStored, bytesOf(p), "user table " + hex(p[2]));
        return std::vector<std::uint8_t>{0xC1, 0x07, p[2], p[3]};
    }
    if (sub == 0x09 && p.size() >= 5) {
        if (!understandsByPage(c.faults) || p[2] >= kPages) return std::nullopt;
        writeMemory(p[2], p[3], p[4], c);
        return std::vector<std::uint8_t>{0xC1, 0x09, p[2], p[3], p[4]};
    }
    if (sub == 0x09) return std::nullopt;
    return std::vector<std::uint8_t>{0xC1, sub, 0x00};
}

MonitorState::Reply MonitorState::readByPage(std::span<const std::uint8_t> p, Context& c) {
    const std::uint8_t sub = p[1];
    if (sub != 0x09 && sub != 0x89) return std::vector<std::uint8_t>{0xC2, 0x00};
    if (p.size() < 4 || !understandsByPage(c.faults) || p[2] >= kPages) return std::nullopt;
    return std::vector<std::uint8_t>{0xC2, sub, p[2], p[3], memory[p[2]][p[3]]};
}

MonitorState::Reply MonitorState::readByDevice(std::span<const std::uint8_t> p, Context& c) {
    if (p.size() < 4 || !understandsByDevice(c.faults)) return std::nullopt;
    const auto page = pageOfDevice(p[2], false);
    if (!page) return std::nullopt;
    const std::size_t count = std::clamp<std::size_t>(p[1], 1, kMaxReadCount);
    std::vector<std::uint8_t> reply{0x61, p[1], p[2], p[3]};
    for (std::size_t i = 0; i < count; ++i) {
        reply.push_back(memory[*page][static_cast<std::uint8_t>(p[3] + i)]);
    }
    return reply;
}

MonitorState::Reply MonitorState::writeByDevice(std::span<const std::uint8_t> p, Context& c) {
    if (p.size() < 5 || !understandsByDevice(c.faults)) return std::nullopt;
    const auto page = pageOfDevice(p[2], true);
    if (!page) return std::nullopt;
    writeMemory(*page, p[3], p[4], c);
    return std::vector<std::uint8_t>{0x63, p[1], p[2], p[3], p[4]};
}

void MonitorState::writeMemory(std::size_t page, std::uint8_t address, std::uint8_t value, Context& c) {
    if (static_cast<std::int32_t>(page * kPageBytes + address) == c.faults.lostWriteLocation) {
        // Acknowledged and answered like any write, but the cell keeps its byte.
        c.log.record(c.time, BenchEventKind::MemoryWriteLost, {static_cast<std::uint8_t>(page), address, value},
                     "page " + std::to_string(page) + " address " + hex(address) + " := " + hex(value) + " lost");
        return;
    }
    memory[page][address] = value;
    c.log.record(c.time, BenchEventKind::MemoryWritten, {static_cast<std::uint8_t>(page), address, value},
                 "page " + std::to_string(page) + " address " + hex(address) + " := " + hex(value));
}

}  // namespace velmora::bench
