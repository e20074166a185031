// The DDC1 read against a monitor whose SDA stream is arbitrary: each input
// byte after the first is one run of constant SDA, (byte + 1) ms long, the
// level changing from run to run; after the last run SDA stays put. Time
// moves only while the PC is waiting: a clock reading that follows two
// status reads showing the same SDA level jumps to the next change of SDA
// (at most 1001 ms ahead), so a capture costs a few calls per run however
// long it lasts in milliseconds. The decoder is also fed the runs directly,
// with an anchor and bit time taken from the input.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "link/bus_wiring.h"
#include "link/ddc1_decoder.h"
#include "link/jig_link.h"
#include "platform/message_sink.h"

namespace {

using namespace velmora;

void require(bool condition) {
    if (!condition) std::abort();
}

class Ddc1Monitor : public platform::PortIo,
                    public platform::Clock,
                    public platform::SpinDelay,
                    public platform::InterruptShield {
public:
    Ddc1Monitor(bool firstLevel, std::span<const std::uint8_t> runs) : level_(firstLevel), runs_(runs) {
        nextChange_ = runs_.empty() ? -1 : runs_[0] + 1;
    }

    std::uint8_t read8(std::uint16_t) override {
        std::uint8_t status = 0;
        if ((data_ & link::kSclData) == 0) status |= link::kSclStatus;
        if ((data_ & link::kSdaData) == 0 && (level_ || !streaming_)) status |= link::kSdaStatus;
        const bool sda = (status & link::kSdaStatus) != 0;
        waiting_ = sda == lastSda_;
        lastSda_ = sda;
        return status;
    }
    void write8(std::uint16_t, std::uint8_t value) override { data_ = value; }
    std::int32_t milliseconds() override {
        streaming_ = true;
        if (!waiting_) return now_;
        const std::int32_t silence = now_ + 1001;
        now_ = nextChange_ >= 0 ? std::min(nextChange_, silence) : silence;
        while (nextChange_ >= 0 && now_ >= nextChange_) {
            level_ = !level_;
            ++index_;
            nextChange_ = index_ < runs_.size() ? nextChange_ + runs_[index_] + 1 : -1;
        }
        return now_;
    }
    void sleepMilliseconds(std::int32_t ms) override { now_ += ms; }
    void spin(std::int32_t) override {}
    void enter() override {}
    void leave() override {}

private:
    std::uint8_t data_ = 0;
    bool level_;
    std::span<const std::uint8_t> runs_;
    std::size_t index_ = 0;
    std::int32_t now_ = 0;
    std::int32_t nextChange_;
    bool lastSda_ = false;
    bool waiting_ = false;
    // The bus is idle (SDA released) until the read first looks at the
    // clock; the monitor's stream starts then.
    bool streaming_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::span<const std::uint8_t> runs(data + 1, size - 1);

    Ddc1Monitor monitor((data[0] & 1) != 0, runs);
    platform::RecordingMessageSink messages;
    link::ProgramFlags flags;
    link::JigLink jig({monitor, monitor, monitor, monitor, messages}, flags);
    const std::uint8_t* edid = jig.controls().readEdidDdc1();
    require(edid == nullptr || edid[0] == 0);
    require(messages.messages.empty());

    // The decoder on its own: runs two bytes each, any anchor, any bit time.
    std::vector<std::uint16_t> words;
    for (std::size_t i = 0; i + 1 < runs.size(); i += 2) {
        words.push_back(static_cast<std::uint16_t>(runs[i] << 8 | runs[i + 1]));
    }
    const std::size_t anchor = words.empty() ? 0 : data[0] % (words.size() + 1);
    const std::int32_t bitTime = static_cast<std::int32_t>(data[0] >> 1) - 8;
    const auto bytes = link::decodeDdc1Runs(words, anchor, bitTime);
    require(bytes[0] == 0);
    return 0;
}
