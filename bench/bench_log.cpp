#include "bench/bench_log.h"

#include <cstdio>

namespace velmora::bench {

void BenchLog::record(std::int64_t timeMicroseconds, BenchEventKind kind,
                      std::vector<std::uint8_t> bytes, std::string detail) {
    if (events_.size() >= kCapacity) {
        ++dropped_;
        return;
    }
    events_.push_back({timeMicroseconds, kind, std::move(bytes), std::move(detail)});
}

void BenchLog::clear() {
    events_.clear();
    dropped_ = 0;
}

std::vector<BenchEvent> BenchLog::eventsOf(BenchEventKind kind) const {
    std::vector<BenchEvent> selected;
    for (const auto& event : events_) {
        if (event.kind == kind) selected.push_back(event);
    }
    return selected;
}

std::vector<std::vector<std::uint8_t>> BenchLog::requests() const {
    std::vector<std::vector<std::uint8_t>> result;
    for (const auto& event : events_) {
        if (event.kind == BenchEventKind::Request) result.push_back(event.bytes);
    }
    return result;
}

std::vector<std::string> BenchLog::requestPayloads() const {
    std::vector<std::string> result;
    for (const auto& bytes : requests()) {
        // Destination, source and length before the payload, checksum after it.
        if (bytes.size() < 4) {
            result.emplace_back();
            continue;
        }
        result.push_back(hexBytes({bytes.begin() + 3, bytes.end() - 1}));
    }
    return result;
}

std::string hexBytes(const std::vector<std::uint8_t>& bytes) {
    std::string text;
    char cell[4];
    for (std::uint8_t byte : bytes) {
        std::snprintf(cell, sizeof cell, "%02X ", byte);
        text += cell;
    }
    if (!text.empty()) text.pop_back();
    return text;
}

}  // namespace velmora::bench
