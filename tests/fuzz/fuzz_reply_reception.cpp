// The link receiving whatever the monitor's side of the bus sends, through
// the virtual bench: arbitrary bytes in place of the reply to a VCP read
// (any length byte, any checksum), read by the PC at 0x6F or written to it
// by the monitor as bus master, with clock stretching at every acknowledge
// and replies padded past the receiver's limit. Input:
//   byte 0   bit 0: MasterRead (1) or SlaveReceive (0)
//   byte 1   MasterRead: SCL stretch per acknowledge in status reads, its
//            low nibble, or for 70h to 7Fh 1992 + its low nibble (around
//            the 2000 reads a line change may take); in slave mode the
//            monitor drives the clock of the reply and nothing stretches
//   byte 2   7Eh or 7Fh: slave-mode replies are zero-padded to 299 or 300
//            bytes (the receiver's limit is 300)
//   rest     the reply as the PC would read it (MasterRead: from the source
//            byte on; SlaveReceive: from the address byte on), at most 48
//            bytes: longer ones only repeat what the padding reaches. For
//            the same reason a MasterRead length byte announcing 49 to 124
//            payload bytes keeps its flag and low five bits (from 125 on it
//            wraps around to a short read and stays)
// The long stretch and the padding each cost as much as several ordinary
// inputs, so they sit on values the fuzzer does not write all the time:
// 00h and FFh, its favourites, choose the ordinary cases.
// A short stretch holds from the request on. A long one holds from the
// reception on, so that one too long fails the reception itself rather than
// the request before it, and its reply's length byte keeps only its flag
// and lowest bit: at some 2000 status reads for each acknowledge, a reply
// of up to 130 bytes would cost more than a thousand ordinary inputs.
// After a failed exchange the monitor answers normally again, and the next
// read of the same control must succeed: no reply, however broken, may
// leave the link or the bus unusable. Every input stays short on the bus, so
// the target keeps its pace under the sanitizers.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <vector>

#include "bench/virtual_bench.h"
#include "link/jig_link.h"
#include "platform/message_sink.h"

namespace {

using namespace velmora;

void require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // An empty message would only exercise the receiver's long wait for a
    // monitor that never begins, at great cost per input.
    if (size < 4) return 0;
    const auto mode = (data[0] & 1) != 0 ? link::ReplyMode::MasterRead : link::ReplyMode::SlaveReceive;
    const bool longStretch = mode == link::ReplyMode::MasterRead && (data[1] & 0xF0) == 0x70;
    std::vector<std::uint8_t> reply(data + 3, data + std::min<std::size_t>(size, 3 + 48));
    if (mode == link::ReplyMode::MasterRead && reply.size() > 1) {
        const int announced = reply[1] & 0x7F;
        if (announced > 48 && announced < 125) reply[1] &= 0x9F;
        if (longStretch) reply[1] &= 0x81;
    }

    bench::VirtualBench bench;
    platform::RecordingMessageSink messages;
    link::ProgramFlags flags;
    link::JigLink jig(bench.platform(messages), flags);
    jig.setReplyMode(mode);
    std::uint8_t request[6] = {0, 0, 0x82, 0x01, 0x10, 0};
    // A first transaction frames the request and the reply buffer as every
    // transaction does. The monitor is unplugged for it, so that each of its
    // attempts ends at the address byte instead of costing a whole exchange.
    bench.faults.noMonitor = true;
    require(jig.transact(request, 1) == nullptr && jig.errorCode() == link::LinkError::MonitorNotConnected);
    require(messages.messages.size() == 1);
    messages.messages.clear();
    bench.faults.noMonitor = false;

    if (mode == link::ReplyMode::MasterRead && !longStretch) bench.faults.sclStretchReads = data[1] & 0x0F;
    bench.faults.oversizeReplyBytes = (data[2] & 0xFE) == 0x7E ? 299 + (data[2] & 1) : 0;

    // One attempt by hand (a transaction would make three of the same):
    // the request, then the reception of whatever comes back.
    bench.monitorDevice().replyRule = [&reply](std::span<const std::uint8_t>) { return std::optional(reply); };
    jig.controls().start();
    for (std::uint8_t byte : request) jig.controls().writeByte(byte);  // as framed and checksummed above
    jig.controls().bus().stop();
    require(!jig.controls().bus().errorFlag());
    if (longStretch) bench.faults.sclStretchReads = 1992 + (data[1] & 0x0F);
    const bool received =
        mode == link::ReplyMode::MasterRead ? jig.controls().readReplyAsMaster() : jig.controls().receiveReplyAsSlave();
    if (received) {
        const auto buffer = jig.replyBuffer();
        // In slave mode byte 0 is the address byte as the monitor sent it.
        require(mode == link::ReplyMode::SlaveReceive || buffer[0] == 0x50);
    }
    require(messages.messages.empty());

    // The bus recovers: the monitor's own reply is taken at once.
    bench.monitorDevice().replyRule = nullptr;
    bench.faults.sclStretchReads = 0;
    bench.faults.oversizeReplyBytes = 0;
    const std::uint8_t* next = jig.transact(request, 1);
    require(next != nullptr && next[3] == 0x02 && next[5] == 0x10);
    return 0;
}
