// Replies whose length byte gives fewer bytes than the request needs: the
// reads that take their value from such a reply fail instead of taking the
// rest from an earlier reply still in the buffer.
#include <gtest/gtest.h>

#include <functional>

#include "interpreter_on_bench.h"
#include "tools/crt_on_time.h"
#include "tools/memory_transfer.h"

namespace velmora::tools {
namespace {

using link::ReplyMode;
using model::testing::InterpreterOnBench;

struct ShortReplyRow {
    const char* name;
    // True when the read succeeded; checks what it must leave untouched.
    std::function<bool(InterpreterOnBench&)> read;
};

TEST(ShortReply, IsAFailedReadInBothModes) {
    const ShortReplyRow rows[] = {
        {"ReadVcp",
         [](InterpreterOnBench& f) {
             // Short reply 6E 82 02 00 BE: its checksum sits where the
             // echoed code is looked for, so only the length tells.
             const model::VcpReading before = f.interpreter.heldValue();
             const bool ok = f.interpreter.readVcp(0xBE).has_value();
             if (!ok) {
                 EXPECT_EQ(f.interpreter.heldValue(), before);
             }
             return ok;
         }},
        {"OnTime",
         [](InterpreterOnBench& f) {
             const CrtOnTimeReadout readout = readCrtOnTime(f.link);
             if (!readout.supported) {
                 EXPECT_EQ(readout.text, kCrtOnTimeUnsupported);
             }
             return readout.supported;
         }},
        {"MemoryByte", [](InterpreterOnBench& f) { return f.interpreter.readMemory(1, 0x10).has_value(); }},
    };
    for (ReplyMode mode : {ReplyMode::MasterRead, ReplyMode::SlaveReceive}) {
        for (const ShortReplyRow& row : rows) {
            const std::string where = std::string(row.name) + (mode == ReplyMode::MasterRead ? " master" : " slave");
            InterpreterOnBench f(mode);
            f.bench.monitor.setOnTime(13);
            // A long reply first, so the buffer holds bytes a short one lacks.
            ASSERT_TRUE(f.interpreter.readVcp(0x12).has_value()) << where;
            EXPECT_TRUE(row.read(f)) << where << ": whole reply";
            ASSERT_EQ(f.bench.applyFault("short-reply"), "") << where;
            EXPECT_FALSE(row.read(f)) << where << ": short reply";
            EXPECT_EQ(f.bench.log.requests().size(), 3u) << where << ": no retry for a well-framed reply";
            EXPECT_TRUE(f.messages.messages.empty()) << where;
        }
    }
}

}  // namespace
}  // namespace velmora::tools
