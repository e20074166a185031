#include "bench/bench_log.h"

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

}  // namespace velmora::bench
