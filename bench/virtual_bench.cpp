#include "bench/virtual_bench.h"

#include "platform/calibrated_spin.h"
#include "platform/steady_clock.h"

namespace velmora::bench {

namespace {

std::unique_ptr<EdidEeprom> makeEeprom(std::size_t slot) {
    auto eeprom = std::make_unique<EdidEeprom>(static_cast<std::uint8_t>(0xA0 + 2 * slot));
    if (slot == 0) {
        eeprom->contents.fill(0xFF);
        const auto base = benchEdidBaseBlock();
        std::copy(base.begin(), base.end(), eeprom->contents.begin());
    } else {
        eeprom->present = false;
        for (std::size_t i = 0; i < EdidEeprom::kBytes; ++i) {
            eeprom->contents[i] = static_cast<std::uint8_t>(slot << 6 ^ i);
        }
    }
    return eeprom;
}

}  // namespace

VirtualBench::VirtualBench(BenchTiming timing)
    : timing_(timing),
      time_(timing == BenchTiming::Virtual ? static_cast<BenchTime*>(&virtualClock_) : &realTime_),
      board_(*time_, faults),
      slaveBus_(faults, stretcher_),
      transmitter_(*time_, log),
      monitorDevice_(monitor, faults, log, *time_, transmitter_),
      eeproms_{makeEeprom(0), makeEeprom(1), makeEeprom(2), makeEeprom(3)},
      ddc1_(*time_, faults, eeproms_[0]->contents) {
    if (timing == BenchTiming::RealTime) {
        realClock_ = std::make_unique<platform::SteadyClock>();
        realSpin_ = std::make_unique<platform::CalibratedSpin>();
    }
    slaveBus_.attach(monitorDevice_);
    for (auto& eeprom : eeproms_) slaveBus_.attach(*eeprom);
    board_.attach(stretcher_);
    board_.attach(slaveBus_);
    board_.attach(transmitter_);
    board_.attach(ddc1_);
}

VirtualBench::~VirtualBench() = default;

platform::LinkPlatform VirtualBench::platform(platform::MessageSink& messages) {
    if (timing_ == BenchTiming::RealTime) {
        return {board_, *realClock_, *realSpin_, shield_, messages};
    }
    return {board_, virtualClock_, virtualSpin_, shield_, messages};
}

}  // namespace velmora::bench
