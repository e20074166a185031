#include <gtest/gtest.h>

#include <string>

#include "bench/bench_faults.h"

namespace velmora::bench {
namespace {

TEST(BenchFaults, ValuesLandInTheirKnobs) {
    struct Row {
        const char* text;
        bool (*check)(const BenchFaults&);
    };
    const Row rows[] = {
        {"no-board", [](const BenchFaults& f) { return f.noBoard; }},
        {"no-monitor", [](const BenchFaults& f) { return f.noMonitor; }},
        {"sda-low", [](const BenchFaults& f) { return f.sdaLow; }},
        {"no-slave-reply", [](const BenchFaults& f) { return f.noSlaveReply; }},
        {"scl-stretch=1999", [](const BenchFaults& f) { return f.sclStretchReads == 1999; }},
        {"bad-checksum=3", [](const BenchFaults& f) { return f.badChecksumReplies == 3; }},
        {"bad-checksum", [](const BenchFaults& f) { return f.badChecksumReplies == 1; }},
        {"garbled-reply", [](const BenchFaults& f) { return f.garbledReplies == 1; }},
        {"garbled-reply=4", [](const BenchFaults& f) { return f.garbledReplies == 4; }},
        {"short-reply", [](const BenchFaults& f) { return f.shortReplies == 1; }},
        {"short-reply=2", [](const BenchFaults& f) { return f.shortReplies == 2; }},
        {"reply-delay=50", [](const BenchFaults& f) { return f.replyDelayMs == 50; }},
        {"oversize-reply", [](const BenchFaults& f) { return f.oversizeReplyBytes == 300; }},
        {"oversize-reply=400", [](const BenchFaults& f) { return f.oversizeReplyBytes == 400; }},
        {"memory-form=bydevice", [](const BenchFaults& f) { return f.memoryForm == MemoryForm::ByDevice; }},
        {"memory-form=both", [](const BenchFaults& f) { return f.memoryForm == MemoryForm::Both; }},
        {"ddc1=16", [](const BenchFaults& f) { return f.ddc1BitTimeMs == 16; }},
        {"ddc1-silent-after=5000", [](const BenchFaults& f) { return f.ddc1SilentAfterMs == 5000; }},
        {"write-lost=1:3F", [](const BenchFaults& f) { return f.lostWriteLocation == 0x13F; }},
        {"write-lost=3:ff", [](const BenchFaults& f) { return f.lostWriteLocation == 0x3FF; }},
        {"write-lost=0:0", [](const BenchFaults& f) { return f.lostWriteLocation == 0; }},
    };
    for (const Row& row : rows) {
        BenchFaults faults;
        faults.memoryForm = MemoryForm::ByPage;
        EXPECT_EQ(applyBenchFault(row.text, faults), "") << row.text;
        EXPECT_TRUE(row.check(faults)) << row.text;
    }
}

TEST(BenchFaults, BadTextIsRefusedWithWhatIsValid) {
    struct Row {
        const char* text;
        const char* hint;
    };
    for (const Row row : {Row{"no-bored", "known: no-board"}, Row{"no-board=1", "takes no value"},
                          Row{"scl-stretch", "needs =N"}, Row{"scl-stretch=", "needs =N"},
                          Row{"scl-stretch=-4", "needs =N"}, Row{"reply-delay=12ms", "needs =N"},
                          Row{"reply-delay=99999999999", "needs =N"},
                          Row{"garbled-reply=x", "needs =N"}, Row{"short-reply=-1", "needs =N"}, Row{"memory-form", "=bypage"},
                          Row{"memory-form=page", "=bypage"}, Row{"", "unknown"},
                          Row{"write-lost", "=PAGE:ADDR"}, Row{"write-lost=4:00", "=PAGE:ADDR"},
                          Row{"write-lost=1:100", "=PAGE:ADDR"}, Row{"write-lost=1", "=PAGE:ADDR"},
                          Row{"write-lost=:10", "=PAGE:ADDR"}, Row{"write-lost=1:", "=PAGE:ADDR"},
                          Row{"write-lost=0x1:10", "=PAGE:ADDR"}, Row{"write-lost=1:3G", "=PAGE:ADDR"}}) {
        BenchFaults faults;
        const std::string error = applyBenchFault(row.text, faults);
        EXPECT_NE(error.find(row.hint), std::string::npos) << row.text << " -> " << error;
        EXPECT_EQ(faults.sclStretchReads, 0) << row.text;
        EXPECT_EQ(faults.memoryForm, MemoryForm::Both) << row.text;
        EXPECT_FALSE(faults.noBoard) << row.text;
        EXPECT_EQ(faults.lostWriteLocation, -1) << row.text;
    }
}

}  // namespace
}  // namespace velmora::bench
