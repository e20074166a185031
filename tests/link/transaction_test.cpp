#include <gtest/gtest.h>

#include "link_on_bench.h"

namespace velmora::link {
namespace {

using testing::hexBytes;
using testing::LinkOnBench;

TEST(Transaction, ReadVcpMasterReadWorkedExample) {
    LinkOnBench f(ReplyMode::MasterRead);
    f.link.transcriptOn();
    bool ok = false;
    const auto reply = f.request({0x01, 0x10}, 30, &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(hexBytes(f.lastRequest), "6E 51 82 01 10 AC");
    EXPECT_EQ(hexBytes(reply), "50 6E 88 02 00 10 00 00 64 00 32 F2");
    EXPECT_EQ(f.link.transcriptText(),
              "\r\n PC: S_ 6E 51 82 01 10 AC _E MON: S_ 6F 6E 88 02 00 10 00 00 64 00 32 F2 _E OK.\r\n");
}

}  // namespace
}  // namespace velmora::link

namespace velmora::link {
namespace {
TEST(Transaction, ReadVcpSlaveProbe) {
    testing::LinkOnBench f(ReplyMode::SlaveReceive);
    f.link.transcriptOn();
    bool ok = false;
    const auto reply = f.request({0x01, 0x10}, 30, &ok);
    EXPECT_TRUE(ok);
    EXPECT_EQ(testing::hexBytes(f.lastRequest), "6E 50 82 01 10 AD");
    EXPECT_EQ(testing::hexBytes(reply), "50 6E 88 02 00 10 00 00 64 00 32 F2");
    std::printf("%s\n", std::string(f.link.transcriptText()).c_str());
    std::printf("shield %d %d\n", f.bench.shield().enters, f.bench.shield().leaves);
}
}
}
