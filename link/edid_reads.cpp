// Direct reads of the display data channel: 256-byte DDC2B blocks from the
// EEPROM at 0xA0 + 2 x block, and the DDC1 stream timed on SDA.
#include <algorithm>
#include <array>

#include "link/ddc1_decoder.h"
#include "link/elapsed_time.h"
#include "link/jig_transport.h"

namespace velmora::link {

namespace {

constexpr std::int32_t kDdc1SilenceMs = 1000;
constexpr std::int32_t kDdc1MaxRuns = 1200;
constexpr std::int32_t kDdc1CaptureBudgetMs = 22000;
constexpr std::int32_t kDdc1ShortestStart = 9999;
// A second of polling takes well under this many status reads on any port;
// it only guards against a clock that stands still.
constexpr std::int64_t kDdc1PollLimit = 50'000'000;

}  // namespace

const std::uint8_t* JigTransport::transferEepromBlock(std::int32_t block) {
    engine_.forgetReply();
    const auto writeAddress = static_cast<std::uint8_t>(0xA0u + 2u * static_cast<std::uint32_t>(block));
    start();
    writeByte(writeAddress);
    writeByte(0x00);  // word address
    start();          // repeated START; clears an error of the address phase
    writeByte(static_cast<std::uint8_t>(writeAddress | 1));
    for (std::size_t i = 0; i < kEepromBlockBytes; ++i) {
        if (!readByte(engine_.buffer()[i], i == kEepromBlockBytes - 1)) break;
    }
    bus_.stop();
    return bus_.errorFlag() ? nullptr : engine_.buffer().data();
}

std::uint16_t JigTransport::measureSdaRun() {
    if (!ddc1ReferenceTaken_) {
        ddc1ReferenceLevel_ = bus_.senseSda();
        ddc1ReferenceTaken_ = true;
    }
    if (bus_.senseSda() == ddc1ReferenceLevel_) {
        // expects: SDA to change within a second of the last change
        for (std::int64_t poll = 0;; ++poll) {
            const std::int32_t now = platform_.clock.milliseconds();
            if (millisecondsSince(now, ddc1LastChange_) > kDdc1SilenceMs || poll >= kDdc1PollLimit) {
                ddc1LastChange_ = now;
                return 0;
            }
            if (bus_.senseSda() != ddc1ReferenceLevel_) break;
        }
    }
    const std::int32_t now = platform_.clock.milliseconds();
    const std::int32_t length = millisecondsSince(now, ddc1LastChange_);
    ddc1LastChange_ = now;
    const auto run = static_cast<std::uint16_t>((length & 0x7FFF) | (ddc1ReferenceLevel_ ? kHighRun : 0));
    ddc1ReferenceLevel_ = !ddc1ReferenceLevel_;
    return run;
}

const std::uint8_t* JigTransport::readEdidDdc1() {
    engine_.forgetReply();
    bus_.setSda(true);
    bus_.busDelay(10);
    bus_.setScl(true);
    bus_.busDelay(10);
    const std::int32_t startTime = platform_.clock.milliseconds();

    // The first run after a pause is partial; the second shows activity.
    measureSdaRun();
    if (measureSdaRun() == 0) return nullptr;

    std::array<std::uint16_t, kDdc1MaxRuns> runs{};
    std::size_t count = 0;
    std::int32_t shortest = kDdc1ShortestStart;
    std::int32_t budget = kDdc1CaptureBudgetMs;
    std::int32_t longestLength = 0;
    std::size_t longestIndex = runs.size();
    while (count < runs.size()) {
        const std::uint16_t run = measureSdaRun();
        if (run == 0) return nullptr;
        if (millisecondsSince(platform_.clock.milliseconds(), startTime) > budget) break;
        const std::int32_t length = run & 0x7FFF;
        shortest = std::min(shortest, length);
        if ((run & kHighRun) != 0 && length > longestLength) {
            longestLength = length;
            longestIndex = count;
        }
        // A little over one EDID cycle (1152 cells) of the fastest bit seen.
        budget = std::min(budget, 1155 * (shortest + 2));
        runs[count++] = run;
    }
    if (longestIndex == runs.size()) return nullptr;

    const std::int32_t bitTime = longestLength / kDdc1HeaderHighCells;
    // A high run shorter than the 55-cell header cannot be an EDID stream.
    if (bitTime == 0) return nullptr;

    const auto bytes = decodeDdc1Runs(std::span<const std::uint16_t>(runs.data(), count),
                                      longestIndex, bitTime);
    std::copy(bytes.begin(), bytes.end(), engine_.buffer().begin());
    return engine_.buffer().data();
}

}  // namespace velmora::link
