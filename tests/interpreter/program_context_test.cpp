#include <gtest/gtest.h>

#include "bench/virtual_bench.h"
#include "session/monitor_door.h"

namespace velmora::session {
namespace {

const std::string kModels = VELMORA_SAMPLE_MODELS_DIR;

TEST(ProgramContext, LoadingAModelAppliesItsProtocol) {
    bench::VirtualBench bench;
    platform::RecordingMessageSink messages;
    const OpenedWay way = openWayToMonitor({std::nullopt, &bench}, messages);
    ProgramContext& context = *way.program;
    EXPECT_EQ(context.link.replyMode(), link::ReplyMode::SlaveReceive);  // at start

    ASSERT_EQ(context.loadModel(kModels + "vm1795.mdl"), 1);  // [PROTOCOL,DDC2Bi]
    EXPECT_EQ(context.link.replyMode(), link::ReplyMode::MasterRead);

    ASSERT_EQ(context.loadModel(kModels + "vm1495.mdl"), 1);  // no PROTOCOL: mode kept
    EXPECT_EQ(context.link.replyMode(), link::ReplyMode::MasterRead);

    ASSERT_EQ(context.loadModel(kModels + "vm2195.mdl"), 1);  // another protocol
    EXPECT_EQ(context.link.replyMode(), link::ReplyMode::SlaveReceive);

    EXPECT_EQ(context.loadModel(kModels + "no-such-model.mdl"), 0);
    EXPECT_EQ(context.link.replyMode(), link::ReplyMode::SlaveReceive);
    EXPECT_EQ(context.model.modelName.substr(0, 7), "VM-2195");  // the previous model stays
}

}  // namespace
}  // namespace velmora::session
