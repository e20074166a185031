// What the console offers when started without --port on a PC without the
// board's parallel port: the graphics cards' channels where a monitor's EDID
// answers, and the choice kept for the next start.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "bench/bench_i2c_adapter.h"
#include "bench/virtual_bench.h"
#include "console/channel_offer.h"

namespace velmora::console {
namespace {

TEST(ChannelOffer, OnlyDisplayChannelsWhereAMonitorAnswers) {
    struct Row {
        const char* name;
        std::vector<std::string> faults;
        platform::AdapterKind kind;
        std::size_t offers;
    };
    for (const Row& row : {Row{"the bench monitor", {}, platform::AdapterKind::DisplayChannel, 1},
                           Row{"nothing plugged in", {"no-monitor"}, platform::AdapterKind::DisplayChannel, 0},
                           Row{"an SMBus is never opened", {}, platform::AdapterKind::SmBus, 0},
                           Row{"nor a USB adapter", {}, platform::AdapterKind::Usb, 0}}) {
        bench::VirtualBench bench;
        for (const std::string& fault : row.faults) ASSERT_EQ(bench.applyFault(fault), "");
        bench::BenchI2cAdapter adapter(bench);
        const platform::I2cAdapterInfo adapters[] = {{3, "AMDGPU DM i2c hw bus 0", row.kind, "DVI-I-1"}};
        const auto offers = findAnsweringChannels(adapters, adapter, bench.clock());
        ASSERT_EQ(offers.size(), row.offers) << row.name;
        EXPECT_EQ(adapter.openedPath.empty(), row.kind != platform::AdapterKind::DisplayChannel) << row.name;
        if (row.offers == 0) continue;
        EXPECT_EQ(offers[0].device, "/dev/i2c-3");
        const std::string question = offerQuestion(offers[0], "/dev/parport0");
        EXPECT_NE(question.find("VELMORA CRT, answers on the display channel /dev/i2c-3 (DVI-I-1)"), std::string::npos)
            << question;
        // Only the EDID was read: nothing went to the monitor's DDC/CI address.
        for (const auto& message : adapter.record) EXPECT_EQ(message.address, 0x50) << row.name;
    }
}

TEST(ChannelOffer, TheChoiceIsKeptForTheNextStart) {
    const std::filesystem::path home = std::filesystem::temp_directory_path() / ("velmora-config-" + std::to_string(::getpid()));
    std::filesystem::remove_all(home);
    EXPECT_FALSE(rememberedPort(home.string()).has_value());
    ASSERT_TRUE(rememberPort(home.string(), "DVI-I-1"));
    EXPECT_EQ(rememberedPort(home.string()), "DVI-I-1");
    ASSERT_TRUE(rememberPort(home.string(), "/dev/i2c-4"));
    EXPECT_EQ(rememberedPort(home.string()), "/dev/i2c-4");
    EXPECT_FALSE(rememberPort("", "DVI-I-1"));
    EXPECT_FALSE(rememberedPort("").has_value());
    std::filesystem::remove_all(home);
}

}  // namespace
}  // namespace velmora::console
