#include "apps/velmora-jigctl/jigctl_stats.h"

#include <algorithm>

namespace velmora::apps::jigctl {

CostMeter::CostMeter(const link::MonitorLink& link, const platform::PlatformCounters& counters, platform::Clock& clock,
                     bool virtualClock)
    : link_(link), counters_(counters), clock_(clock), virtualClock_(virtualClock), start_(now()) {}

OperationCost CostMeter::now() const {
    const link::LinkCounters& link = link_.counters();
    OperationCost cost;
    cost.transactions = link.transactions;
    cost.attempts = link.attempts;
    cost.bytesOnBus = link.bytesOnBus;
    cost.portAccesses = counters_.portReads + counters_.portWrites;
    cost.fixedWaitMilliseconds = link.waitMilliseconds + counters_.sleepMilliseconds;
    cost.elapsedMilliseconds = clock_.milliseconds();
    cost.virtualClock = virtualClock_;
    return cost;
}

OperationCost CostMeter::cost() const {
    OperationCost end = now();
    end.transactions -= start_.transactions;
    end.attempts -= start_.attempts;
    end.bytesOnBus -= start_.bytesOnBus;
    end.portAccesses -= start_.portAccesses;
    end.fixedWaitMilliseconds -= start_.fixedWaitMilliseconds;
    // The millisecond count is 32 bits and may wrap; differences survive it.
    end.elapsedMilliseconds = static_cast<std::int32_t>(static_cast<std::uint32_t>(end.elapsedMilliseconds) -
                                                        static_cast<std::uint32_t>(start_.elapsedMilliseconds));
    return end;
}

std::string costText(const OperationCost& cost) {
    const auto count = [](std::int64_t n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    return "stats: " + count(cost.transactions, "transaction", "transactions") + ", " +
           count(cost.attempts, "attempt", "attempts") + " (" + count(cost.retries(), "retry", "retries") + "), " +
           std::to_string(cost.bytesOnBus) + " bytes on the bus, " +
           count(cost.portAccesses, "port access", "port accesses") + ", " +
           std::to_string(cost.fixedWaitMilliseconds) + " ms in fixed waits, " +
           std::to_string(cost.busMilliseconds()) + " ms on the bus, " + std::to_string(cost.elapsedMilliseconds) +
           " ms elapsed" + (cost.virtualClock ? " (virtual clock)" : "");
}

nlohmann::json costJson(const OperationCost& cost) {
    return {{"stats",
             {{"transactions", cost.transactions},
              {"attempts", cost.attempts},
              {"retries", cost.retries()},
              {"bytesOnBus", cost.bytesOnBus},
              {"portAccesses", cost.portAccesses},
              {"fixedWaitMs", cost.fixedWaitMilliseconds},
              {"busMs", cost.busMilliseconds()},
              {"elapsedMs", cost.elapsedMilliseconds},
              {"virtualClock", cost.virtualClock}}}};
}

void ProgressSlot::wipe() {
    if (shown != nullptr) shown->finish();
}

ProgressLine::ProgressLine(std::ostream& terminal, bool enabled, platform::Clock& clock, std::string label,
                           std::string unit, std::int64_t total, ProgressSlot* slot)
    : terminal_(terminal),
      enabled_(enabled),
      clock_(clock),
      label_(std::move(label)),
      unit_(std::move(unit)),
      total_(total),
      startMs_(enabled_ ? clock.milliseconds() : 0),
      slot_(slot) {
    if (slot_ != nullptr) slot_->shown = this;
}

ProgressLine::~ProgressLine() {
    finish();
    if (slot_ != nullptr && slot_->shown == this) slot_->shown = nullptr;
}

void ProgressLine::step() { show(done_ + 1); }

void ProgressLine::showDone(std::int64_t done, std::int64_t total) {
    total_ = total;
    show(done);
}

void ProgressLine::show(std::int64_t done) {
    if (!enabled_ || total_ <= 0) return;
    done_ = std::min(done, total_);
    const std::int32_t now = clock_.milliseconds();
    const auto since = [now](std::int32_t then) {
        return static_cast<std::int32_t>(static_cast<std::uint32_t>(now) - static_cast<std::uint32_t>(then));
    };
    // The first state and the last are always shown, those between at most
    // every kRepaintMs.
    if (!shown_.empty() && done_ < total_ && since(shownMs_) < kRepaintMs) return;
    std::string line = text(label_, unit_, done_, total_, since(startMs_));
    if (line == shown_) return;
    const std::size_t width = std::max(line.size(), shown_.size());
    shown_ = line;
    shownMs_ = now;
    line.resize(width, ' ');
    terminal_ << '\r' << line << std::flush;
}

void ProgressLine::finish() {
    if (!enabled_ || shown_.empty()) return;
    terminal_ << '\r' << std::string(shown_.size(), ' ') << '\r' << std::flush;
    shown_.clear();
}

std::string ProgressLine::text(const std::string& label, const std::string& unit, std::int64_t done,
                               std::int64_t total, std::int64_t elapsedMs) {
    std::string line = label + ": " + std::to_string(done) + "/" + std::to_string(total) + " " + unit + "  " +
                       std::to_string(total > 0 ? done * 100 / total : 100) + "%";
    if (done > 0 && done < total) {
        const std::int64_t leftSeconds = (elapsedMs * (total - done) / done + 999) / 1000;
        line += "  about " + std::to_string(leftSeconds) + " s left";
    }
    return line;
}

}  // namespace velmora::apps::jigctl
