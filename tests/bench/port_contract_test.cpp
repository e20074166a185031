// One suite, many ports: what the link may rely on from any PortIo.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "bench/virtual_bench.h"
#include "link/bus_wiring.h"
#include "platform/ppdev_port.h"

namespace velmora {
namespace {

using platform::kDataPort;
using platform::kStatusPort;

// Owns whatever the port needs to live.
struct PortUnderTest {
    std::unique_ptr<bench::VirtualBench> bench;
    std::unique_ptr<std::ostringstream> diagnostics;
    std::unique_ptr<platform::PpdevPort> ppdev;
    platform::PortIo* port = nullptr;
};

struct PortFactory {
    const char* name;
    std::function<PortUnderTest()> make;
};

void PrintTo(const PortFactory& row, std::ostream* out) { *out << row.name; }

PortUnderTest benchPort(bench::BenchTiming timing, bool board) {
    PortUnderTest under;
    under.bench = std::make_unique<bench::VirtualBench>(timing);
    under.bench->faults.noBoard = !board;
    under.port = &under.bench->board();
    return under;
}

// --- A port with the board on it: the status follows the data register --------

class BoardPortContract : public ::testing::TestWithParam<PortFactory> {};

TEST_P(BoardPortContract, StatusReadsBackTheLinesTheDataRegisterReleases) {
    PortUnderTest under = GetParam().make();
    platform::PortIo& port = *under.port;
    struct Row {
        std::uint8_t data;
        std::uint8_t lines;  // status bits 3 and 7
    };
    std::uint8_t otherBits = 0;
    bool first = true;
    for (const Row row : {Row{0x00, 0x88}, Row{0x08, 0x80}, Row{0x88, 0x00}, Row{0x80, 0x08}, Row{0x00, 0x88}}) {
        port.write8(kDataPort, row.data);
        const std::uint8_t status = port.read8(kStatusPort);
        EXPECT_EQ(status & 0x88, row.lines) << GetParam().name << " data " << int(row.data);
        // Unwired status bits never move.
        if (first) otherBits = status & 0x77;
        EXPECT_EQ(status & 0x77, otherBits) << GetParam().name;
        first = false;
        // Reading does not change the lines.
        EXPECT_EQ(port.read8(kStatusPort), status) << GetParam().name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ports, BoardPortContract,
    ::testing::Values(PortFactory{"VirtualBench", [] { return benchPort(bench::BenchTiming::Virtual, true); }},
                      PortFactory{"RealTimeBench", [] { return benchPort(bench::BenchTiming::RealTime, true); }}),
    [](const auto& info) { return std::string(info.param.name); });

// --- A port without the board: no line ever follows ------------------------------

class NoBoardPortContract : public ::testing::TestWithParam<PortFactory> {};

TEST_P(NoBoardPortContract, StatusIgnoresTheDataRegister) {
    PortUnderTest under = GetParam().make();
    platform::PortIo& port = *under.port;
    for (std::uint8_t data : {0x00, 0x08, 0x80, 0x88, 0x00}) {
        port.write8(kDataPort, data);
        EXPECT_EQ(port.read8(kStatusPort), platform::kStatusWithoutBoard) << GetParam().name << " data " << int(data);
    }
    // So SCL never reads low: a START cannot complete.
    EXPECT_NE(platform::kStatusWithoutBoard & link::kSclStatus, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ports, NoBoardPortContract,
    ::testing::Values(PortFactory{"VirtualBenchNoBoard", [] { return benchPort(bench::BenchTiming::Virtual, false); }},
                      PortFactory{"MissingPpdev",
                                  [] {
                                      PortUnderTest under;
                                      under.diagnostics = std::make_unique<std::ostringstream>();
                                      under.ppdev = std::make_unique<platform::PpdevPort>("/nonexistent/parport0",
                                                                                          *under.diagnostics);
                                      under.port = under.ppdev.get();
                                      return under;
                                  }}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace velmora
