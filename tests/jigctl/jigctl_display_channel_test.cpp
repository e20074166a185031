// velmora-jigctl through the display channel: the bench monitor behind the
// stand-in i2c-dev adapter must give what it gives through the jig, and the
// errors a technician meets on a PC with no usable channel end at once with
// their remedy.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/i2c_dev_port.h"
#include "process_runner.h"
#include "apps/velmora-jigctl/jigctl_detect.h"

namespace velmora::apps::jigctl {
namespace {

namespace fs = std::filesystem;
using testing::ProcessResult;
using testing::joined;
using testing::runJigctl;
using testing::contains;
using testing::readFile;
using testing::sampleModel;

struct SameWayRow {
    const char* name;
    std::vector<std::string> arguments;  // after --bench and the way
};

class SameEitherWay : public ::testing::TestWithParam<SameWayRow> {
protected:
    static fs::path folder() {
        static const fs::path path = fs::temp_directory_path() / ("velmora-ddcci-" + std::to_string(::getpid()));
        fs::create_directories(path);
        return path;
    }
    // The arguments with FILE-jig / FILE-i2c in place of FILE.
    static std::vector<std::string> forWay(const std::vector<std::string>& arguments, const std::string& way) {
        std::vector<std::string> result{"--bench", "--bench-port", way};
        for (const std::string& argument : arguments) {
            result.push_back(argument.starts_with("FILE") ? (folder() / (argument + "-" + way)).string() : argument);
        }
        return result;
    }
};

TEST_P(SameEitherWay, OutputStatusAndFiles) {
    const SameWayRow& row = GetParam();
    std::ofstream(folder() / "FILE-load-parport") << "_010_0115aa5";
    std::ofstream(folder() / "FILE-load-i2c") << "_010_0115aa5";
    const ProcessResult jig = runJigctl(forWay(row.arguments, "parport"));
    const ProcessResult channel = runJigctl(forWay(row.arguments, "i2c"));
    EXPECT_EQ(channel.status, jig.status) << channel.err;
    EXPECT_EQ(channel.out, jig.out);
    // Failure words and --trace transcripts; the channel adds what the
    // adapter said, with its remedy, on a line of its own.
    const std::string adapterLine = "velmora-jigctl: on the display channel /dev/i2c-bench: ";
    std::string channelErr = channel.err;
    if (const auto at = channelErr.find(adapterLine); at != std::string::npos) {
        EXPECT_NE(std::string(row.name).find("NoMonitor"), std::string::npos) << channelErr;
        EXPECT_TRUE(contains(channelErr.substr(at), "No monitor answers on this display channel")) << channelErr;
        channelErr.erase(at, channelErr.find('\n', at) + 1 - at);
    }
    // The channel reads the monitor's identity (EDID bytes 8 to 11) before
    // the first factory request of a model.
    const std::string identityRead = " S_ A0 08 S_ A1 59 8D 34 17 _E \n";
    if (const auto at = channelErr.find(identityRead); at != std::string::npos) channelErr.erase(at, identityRead.size());
    EXPECT_EQ(channelErr, jig.err);
    EXPECT_FALSE(jig.out.empty() && jig.err.empty());
    for (const std::string& argument : row.arguments) {
        if (!argument.starts_with("FILE-save")) continue;
        const std::string saved = readFile(folder() / (argument + "-parport"));
        EXPECT_FALSE(saved.empty());
        EXPECT_EQ(readFile(folder() / (argument + "-i2c")), saved);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, SameEitherWay,
    ::testing::Values(
        SameWayRow{"ReadVcpTraced", {"--trace", "--protocol", "ddc2bi", "read-vcp", "10"}},
        SameWayRow{"SetVcpTraced", {"--trace", "--protocol", "ddc2bi", "set-vcp", "10", "20"}},
        SameWayRow{"ReadVcpJson", {"--json", "--model", sampleModel("vm1995pro.mdl"), "read-vcp", "12"}},
        SameWayRow{"RunFunction", {"--trace", "--model", sampleModel("vm1995pro.mdl"), "run", "1C"}},
        SameWayRow{"Items", {"--model", sampleModel("vm1795.mdl"), "items"}},
        SameWayRow{"ReadMem", {"--trace", "--any-monitor", "--protocol", "ddc2bi", "read-mem", "1", "10"}},
        SameWayRow{"WriteMem", {"--trace", "--any-monitor", "--protocol", "ddc2bi", "write-mem", "0", "10", "0x5A"}},
        SameWayRow{"CrtTime", {"--any-monitor", "--protocol", "ddc2bi", "crt-time"}},
        SameWayRow{"Edid", {"--trace", "--protocol", "ddc2bi", "edid"}},
        SameWayRow{"EdidDecoded", {"--protocol", "ddc2bi", "edid", "--decode"}},
        SameWayRow{"AbsentBlock", {"--protocol", "ddc2bi", "edid", "2"}},
        SameWayRow{"SaveMem", {"--any-monitor", "--protocol", "ddc2bi", "save-mem", "0", "F0", "1", "0F", "FILE-save"}},
        SameWayRow{"LoadMem", {"--trace", "--any-monitor", "--protocol", "ddc2bi", "load-mem", "FILE-load"}},
        SameWayRow{"NoMonitor", {"--trace", "--bench-fault", "no-monitor", "--protocol", "ddc2bi", "read-vcp", "10"}},
        SameWayRow{"BadChecksums", {"--trace", "--bench-fault", "bad-checksum=3", "--protocol", "ddc2bi", "read-vcp", "10"}},
        SameWayRow{"NoMonitorJson", {"--json", "--bench-fault", "no-monitor", "--protocol", "ddc2bi", "set-vcp", "10", "1"}},
        SameWayRow{"ReadOnly", {"--any-monitor", "--read-only", "--protocol", "ddc2bi", "write-mem", "0", "10", "0x5A"}}),
    [](const auto& info) { return info.param.name; });

// --- What a technician meets --------------------------------------------------

struct ErrorRow {
    std::vector<std::string> arguments;
    int status;
    std::string err;  // expected within standard error
};

class ChannelErrors : public ::testing::TestWithParam<ErrorRow> {};

TEST_P(ChannelErrors, SayWhatToDoAndStop) {
    const ErrorRow& row = GetParam();
    const ProcessResult result = runJigctl(row.arguments);
    EXPECT_EQ(result.status, row.status) << result.err;
    EXPECT_TRUE(contains(result.err, row.err)) << result.err;
    EXPECT_TRUE(result.out.empty()) << result.out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChannelErrors,
    ::testing::Values(
        ErrorRow{{"--port", "/dev/i2c-97", "read-vcp", "10"}, 1, "load the i2c-dev module (sudo modprobe i2c-dev)"},
        ErrorRow{{"--port", "i2c-97", "--protocol", "ddc2bi", "edid"}, 1, "/dev/i2c-97: No such file or directory"},
        ErrorRow{{"--port", "/dev/null", "read-vcp", "10"}, 2, "is neither a display channel"},
        ErrorRow{{"--bench", "--bench-port", "i2c", "--protocol", "slave", "read-vcp", "10"}, 1, "needs the interface board on the parallel port; the display channel cannot receive its replies. Use --port /dev/parportN"},
        ErrorRow{{"--bench", "--bench-port", "i2c", "--model", sampleModel("vm2195.mdl"), "crt-time"}, 1,
                 "SlaveReceive mode"},
        ErrorRow{{"--bench", "--port", "/dev/i2c-1", "read-vcp", "10"}, 2, "--port and --bench exclude each other"},
        ErrorRow{{"--bench", "--bench-port", "usb", "read-vcp", "10"}, 2, "--bench-port takes i2c or parport"},
        // Factory requests only to a monitor the model names.
        ErrorRow{{"--bench", "--bench-port", "i2c", "write-mem", "0", "10", "0x5A"}, 1,
                 "Factory request not sent: the monitor on /dev/i2c-bench is VLM 1734h, and the model chosen names no "
                 "monitor it is made for"},
        ErrorRow{{"--bench", "--bench-port", "i2c", "--bench-edid", std::string(VELMORA_EDID_BLOCKS_DIR) + "crt17_v11.hex",
                  "--model", sampleModel("vm1995pro.mdl"), "run", "18"},
                 1, "and the model VM-1995 Pro is made for VLM 1734h"}));

TEST(ChannelErrors, TextsGiveTheRemedyForEachCause) {
    struct Row {
        int error;
        const char* remedy;
    };
    for (const Row& row : {Row{ENOENT, "sudo modprobe i2c-dev"}, Row{EACCES, "sudo adduser $USER i2c"},
                           Row{EPERM, "udev rule 70-velmora-jig-i2c.rules opens the graphics cards'"},
                           Row{EBUSY, "sudo modprobe -r ddcci"}, Row{ENXIO, "No monitor answers"},
                           Row{EOPNOTSUPP, "is not a display channel"}, Row{ETIMEDOUT, "The bus is stuck"},
                           Row{EWOULDBLOCK, "in use by another program"}}) {
        EXPECT_TRUE(contains(platform::describeI2cFailure("/dev/i2c-4", row.error), row.remedy)) << row.error;
    }
}

// --- detect ----------------------------------------------------------------------

TEST(Detect, TheBenchMonitorBothWays) {
    const ProcessResult result = runJigctl({"--bench", "detect"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(contains(result.out, "bench display channel (i2c): EDID at 0x50: VELMORA CRT, manufacturer VLM, "
                                     "product 1734h, serial 74565; DDC/CI at 0x37: answers\n"))
        << result.out;
    EXPECT_TRUE(contains(result.out, "bench parallel port (interface board): the interface board answers its line "
                                     "test; EDID at 0xA0: VELMORA CRT"))
        << result.out;
}

TEST(Detect, WithoutChannelsSaysHowToGetThem) {
    const fs::path empty = fs::temp_directory_path() / ("velmora-nodev-" + std::to_string(::getpid()));
    fs::create_directories(empty);
    std::ostringstream out, err;
    EXPECT_EQ(detectMonitors({empty.string(), empty.string()}, false, out, err), 1);
    EXPECT_TRUE(out.str().empty());
    EXPECT_TRUE(contains(err.str(), "no display channel")) << err.str();
    EXPECT_TRUE(contains(err.str(), "sudo modprobe i2c-dev")) << err.str();

    // A graphics card's adapter is opened (this node is no i2c-dev node, so
    // the adapter cannot say it does plain I2C: nothing is sent); an SMBus
    // beside it is listed and never opened.
    struct Adapter {
        const char* node;
        const char* pciClass;
        const char* name;
    };
    for (const Adapter& adapter : {Adapter{"i2c-4", "0x030000", "Radeon i2c bit bus 0x90"},
                                   Adapter{"i2c-5", "0x0c0500", "SMBus I801 adapter at efa0"}}) {
        const fs::path card = empty / "sys/devices/pci0000:00" / adapter.node;
        fs::create_directories(card / adapter.node);
        std::ofstream(card / "class") << adapter.pciClass << "\n";
        std::ofstream(card / "vendor") << "0x1002\n";
        std::ofstream(card / adapter.node / "name") << adapter.name << "\n";
        fs::create_directories(empty / "sys/bus/i2c/devices");
        fs::create_directory_symlink(card / adapter.node, empty / "sys/bus/i2c/devices" / adapter.node);
        std::ofstream(empty / adapter.node) << "";
    }
    std::ostringstream out2, err2;
    EXPECT_EQ(detectMonitors({empty.string(), (empty / "sys").string()}, false, out2, err2), 1);
    EXPECT_EQ(out2.str(), (empty / "i2c-4").string() + " (Radeon i2c bit bus 0x90): cannot open: " +
                              (empty / "i2c-4").string() +
                              ": Operation not supported. This adapter is not a display channel (it cannot do plain "
                              "I2C transfers, as an SMBus cannot); see velmora-jigctl detect for the graphics card's "
                              "channels.\n" +
                              (empty / "i2c-5").string() + " (SMBus I801 adapter at efa0): not probed: SMBus\n");
    EXPECT_TRUE(contains(err2.str(), "no monitor answered")) << err2.str();
    fs::remove_all(empty);
}

}  // namespace
}  // namespace velmora::apps::jigctl
