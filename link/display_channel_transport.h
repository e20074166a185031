#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "link/command_packet.h"
#include "link/link_transport.h"
#include "link/monitor_identity.h"
#include "platform/clock.h"
#include "platform/i2c_dev_port.h"

namespace velmora::link {

class TransactionEngine;

// Waits the display-channel link adds to the ones every request carries.
// The DDC/CI standard gives the monitor 40 ms to prepare a reply and asks
// for 50 ms between two requests; a monitor that is still busy gets twice
// the wait at each further attempt (40, 80, 160 ms). A monitor that keeps to
// the requests' own waits can be served faster with the fast timing, which
// waits exactly those. Slow monitors get every reply wait scaled.
struct DisplayChannelTiming {
    std::int32_t replyWaitMinimumMs = 0;  // the wait before reading a reply is at least this
    std::int32_t requestGapMs = 0;        // from the end of one request to the start of the next
    bool doublingWaits = false;           // each further attempt waits twice as long as the one before
    std::int32_t waitScalePercent = 100;  // every reply wait times this / 100
};

inline constexpr DisplayChannelTiming kDdcCiTiming{40, 50, true, 100};
inline constexpr DisplayChannelTiming kFastTiming{0, 0, false, 100};
inline constexpr std::int32_t kMaxWaitScalePercent = 1000;

// The monitor's answer that it has nothing to say yet: DDC/CI's null
// message, 6E 80 BE as read at 0x6F.
inline constexpr std::uint8_t kNullReplyLength = 0x80;

// Bytes read at 0x6F for a reply to `request`: what the reply can hold and
// one more, since monitor firmware expects to be read no further. A Get VCP
// reply is 11 bytes; no other request of the system's is answered by more
// than 40, except a memory read by device, which returns its count of bytes.
std::size_t replyReadBytes(std::span<const std::uint8_t> request);

// The monitor's DDC/CI address as the kernel takes it (7 bits): 0x6E/0x6F
// as address bytes.
inline constexpr std::uint8_t kDdcCiDevice = kMonitorAddress >> 1;

// Shown when a model's replies come back in SlaveReceive mode: the adapter
// of a graphics card is always bus master and cannot receive them.
inline constexpr std::string_view kSlaveReceiveRefusal =
    "This model replies as bus master (SlaveReceive mode), which needs the interface board "
    "on the parallel port; the display channel cannot receive its replies.";

// Shown instead of the bus-speed slider of the jig's options.
inline constexpr std::string_view kNoBusSpeedMessage =
    "The I2C speed applies to the interface board only: on a display channel the graphics card's "
    "adapter sets the bus clock itself.";

// A graphics card's display data channel (an i2c-dev adapter) as the
// engine's transport: whole messages handed to the kernel instead of bits on
// a port, the DDC/CI standard's waits, the checks real monitors' replies
// need, the adapter's own failures in words that name their remedy, and the
// check that factory requests reach the monitor the model is made for.
//
// Replies in SlaveReceive mode are refused, never attempted (the message
// says the interface board is needed).
class DisplayChannelTransport final : public LinkTransport {
public:
    // The most read for one reply: what the length byte can announce
    // (payload up to 124 bytes, as the jig reads it) with its frame.
    static constexpr std::size_t kReplyReadBytes = 127;
    // The EDID's segment pointer (E-DDC): segment N of 256 bytes is read
    // from 0x50 after N is written to 0x30 in the same transfer.
    static constexpr std::uint8_t kEdidDevice = 0x50;
    static constexpr std::uint8_t kSegmentPointerDevice = 0x30;
    static constexpr std::int32_t kMaxEdidBlock = 255;  // segments 0 to 127, two blocks each

    DisplayChannelTransport(TransactionEngine& engine, platform::I2cDevPort& port, platform::Clock& clock,
                            DisplayChannelTiming timing);
    DisplayChannelTransport(const DisplayChannelTransport&) = delete;
    DisplayChannelTransport& operator=(const DisplayChannelTransport&) = delete;

    [[nodiscard]] DisplayChannelTiming timing() const { return timing_; }

    // --- the engine's transport ---
    // In SlaveReceive mode nothing is sent: the refusal is shown and the
    // error code is InterfaceBoard, so that a batch of requests stops at once.
    [[nodiscard]] bool admits(std::span<const std::uint8_t> request) override;
    bool sendRequest(std::span<const std::uint8_t> request) override;
    bool readReply(std::span<const std::uint8_t> request, std::int32_t replyArgument,
                   std::int32_t attempt) override;
    bool receiveAsSlave() override { return false; }  // refused by admits
    [[nodiscard]] bool failureIsLasting() const override;
    bool reportOwnFailure() override;

    // --- the right monitor ---
    void expectMonitors(std::span<const MonitorIdentity> monitors, std::string_view modelName);
    void allowAnyMonitor() { anyMonitor_ = true; }

    // --- EDID ---
    [[nodiscard]] const std::uint8_t* transferEepromBlock(std::int32_t block);

private:
    // Why the last attempt failed, for the words shown after the last one.
    enum class Failure : std::uint8_t {
        None,
        RequestNotTaken,  // the monitor did not acknowledge the request
        NoReply,          // it took the request, but 0x6F was not acknowledged
        Busy,             // it answered with the null message every time
        BadReply,         // checksum, source or length byte wrong
        Adapter,          // the adapter failed (errno in adapterError_)
    };

    bool readReplyBytes(std::size_t readBytes);
    [[nodiscard]] std::int32_t replyWaitMs(std::int32_t replyArgument, std::int32_t attempt) const;
    bool readEdidBytes(std::int32_t segment, std::uint8_t offset, std::span<std::uint8_t> bytes);
    // Whether factory requests may go to the monitor that answers.
    bool monitorIsExpected();
    [[nodiscard]] int announcedEdidBlocks();
    void awaitRequestGap();
    void sleep(std::int32_t ms);
    void recordFailedTransfer(std::span<const std::uint8_t> bytes, int errorNumber);
    // A line in the transcript and the same words in a message box.
    void tell(std::string_view text);

    TransactionEngine& engine_;
    platform::I2cDevPort& port_;
    platform::Clock& clock_;
    DisplayChannelTiming timing_;

    bool requestSent_ = false;
    std::int32_t lastRequestEnd_ = 0;
    Failure failure_ = Failure::None;
    int adapterError_ = 0;

    bool monitorsExpected_ = false;  // a model has said which monitors it is for
    std::array<MonitorIdentity, kMaxModelMonitors> expected_{};
    std::size_t expectedCount_ = 0;
    std::string modelName_;
    bool anyMonitor_ = false;      // --any-monitor
    bool confirmed_ = false;       // matched, or the technician said yes, for this model
};

}  // namespace velmora::link
