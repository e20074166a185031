#pragma once
// The kernel drivers behind the emulated nodes: ppdev on the parallel port,
// i2c-dev with the adapter drivers of machine.umockdev on the i2c nodes.
// Each node's handler answers the program's calls as drivers/char/ppdev.c
// and drivers/i2c/i2c-dev.c would, serves them from the bench behind it and
// records them. umockdev calls the handlers on its own thread.
#include <umockdev.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_i2c_adapter.h"
#include "bench/virtual_bench.h"
#include "node_machine.h"

namespace velmora::tests::nodes {

struct NodeMachine::Node {
    std::string device;
    NodeKind kind = NodeKind::EmptyBus;
    const std::atomic<pid_t>* program = nullptr;
    std::string nodeFile;  // the file umockdev's preload opens in its place
    std::filesystem::path nodeTarget;   // what that file leads to (umockdev makes it a pty)

    mutable std::mutex mutex;
    NodeFaults faults;
    NodeRecord record;
    std::unique_ptr<bench::VirtualBench> bench;
    std::unique_ptr<bench::BenchI2cAdapter> adapter;
    std::array<std::uint8_t, 256> eeprom{};
    std::uint8_t eepromPointer = 0;
    bool claimed = false;
    std::uint8_t control = 0;
    std::uint16_t slaveAddress = 0;
    std::vector<std::thread> lateAnswers;
    std::vector<GObject*> unanswered;
    UMockdevIoctlBase* handler = nullptr;
};

// A new umockdev handler for the node, its driver chosen by the node's kind.
UMockdevIoctlBase* newDriver(NodeMachine::Node& node);

}  // namespace velmora::tests::nodes
