// Thousands of seeded random operations on the virtual bench, as a busy
// technician would run them, while bench faults come and go: VCP reads and
// writes, the sample models' functions and scripts, memory reads and writes,
// .mem saves and write-backs, model changes, read-only mode and the EEPROM
// access form switched on and off. After every step:
//   - the step ended within a bounded virtual time;
//   - with writing off, no protected request reached the monitor;
//   - the monitor's EEPROM differs from its start only where a write was
//     requested;
//   - every .mem file saved so far still holds exactly what was saved;
//   - once the EEPROM was written, a complete backup exists that holds it
//     as it was before the first write;
//   - a verified write that reported success left every byte it wrote;
// and every few steps, with the faults lifted for a moment, a VCP read works.
// A failure names the seed and the step; VELMORA_SOAK_SEED=N reruns it and
// VELMORA_SOAK_STEPS=N changes the size.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench/virtual_bench.h"
#include "session/monitor_door.h"
#include "platform/file_chooser.h"
#include "platform/message_sink.h"
#include "tools/backup_gate.h"
#include "tools/dump_memory_logic.h"
#include "tools/memory_compare.h"
#include "tools/memory_writing_functions.h"
#include "tools/memory_image.h"
#include "tools/save_memory_logic.h"

namespace velmora {
namespace {

namespace fs = std::filesystem;

// Longer than any operation may take: the longest model wait (255 x 255 ms)
// plus a failing range transfer's retries.
constexpr std::int64_t kStepBoundMicroseconds = 300'000'000;
constexpr int kProbeEvery = 25;

std::uint32_t fromEnvironment(const char* name, std::uint32_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != '\0' ? static_cast<std::uint32_t>(std::strtoul(text, nullptr, 10)) : fallback;
}

// Requests that change the monitor and need write-enabled mode, stated
// here on their own rather than taken from the link.
bool isProtected(const std::vector<std::uint8_t>& payload) {
    if (payload.empty()) return false;
    if (payload[0] == 0x62) return true;
    if (payload[0] == 0xC0) return payload.size() < 2 || payload[1] != 0x0B;
    return payload[0] == 0x03 && payload.size() >= 2 && payload[1] == 0xE6;
}

std::optional<std::string> fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const char* const kFaults[] = {
    "no-monitor",        "bad-checksum=1",    "bad-checksum=3",     "reply-delay=25",
    "reply-delay=150",   "scl-stretch=300",   "scl-stretch=2500",   "no-slave-reply",
    "oversize-reply=300", "memory-form=bypage", "memory-form=bydevice", "sda-low",
    "no-board",          "write-lost=1:10",   "write-lost=0:00",
};

// Takes every backup offered, as velmora-jigctl does.
struct AlwaysBackUp : tools::BackupAsker {
    tools::BackupChoice offer(const tools::BackupOffer&) override { return tools::BackupChoice::BackUp; }
    void failed(std::string_view) override {}
};

class Soak {
public:
    explicit Soak(std::uint32_t seed) : random_(seed) {
        directory_ = fs::temp_directory_path() / ("velmora-soak-" + std::to_string(seed) + "-" +
                                                  std::to_string(reinterpret_cast<std::uintptr_t>(this)));
        fs::create_directories(directory_);
        for (const auto& entry : fs::directory_iterator(VELMORA_SAMPLE_MODELS_DIR)) {
            if (entry.path().extension() == ".mdl") models_.push_back(entry.path().string());
        }
        std::sort(models_.begin(), models_.end());
        changeModel(0);
        startMemory_ = bench_.monitor.memory;
        gate_ = std::make_unique<tools::BackupGate>((directory_ / "backups").string(), [] { return std::time_t{0}; });
    }
    ~Soak() {
        std::error_code ignored;
        fs::remove_all(directory_, ignored);
    }

    // One random operation and the checks after it; a non-empty result says
    // what went wrong.
    std::string step(int number) {
        bench_.log.clear();
        messages_.messages.clear();
        const bool readOnlyThroughout = context_.flags.writeEnabled == 0;
        const std::int64_t before = bench_.nowMicroseconds();
        failure_.clear();
        const std::string what = operate();
        const std::int64_t took = bench_.nowMicroseconds() - before;
        if (!failure_.empty()) return what + ": " + failure_;

        if (took > kStepBoundMicroseconds) return what + ": took " + std::to_string(took) + " µs";
        if (readOnlyThroughout) {
            for (const auto& request : bench_.log.requests()) {
                const std::vector<std::uint8_t> payload(request.begin() + 3, request.end() - 1);
                if (isProtected(payload)) return what + ": protected request " + bench::hexBytes(payload) + " sent in read-only mode";
            }
        }
        for (std::size_t page = 0; page < bench::MonitorState::kPages; ++page) {
            for (std::size_t address = 0; address < bench::MonitorState::kPageBytes; ++address) {
                if (bench_.monitor.memory[page][address] != startMemory_[page][address] &&
                    !requested_[page][address]) {
                    return what + ": memory " + std::to_string(page) + ":" + std::to_string(address) +
                           " changed without a write";
                }
            }
        }
        if (bench_.monitor.memory != startMemory_ || !bench_.log.eventsOf(bench::BenchEventKind::MemoryWritten).empty()) {
            if (const std::string missing = backupHoldsTheStart(); !missing.empty()) return what + ": " + missing;
        }
        for (const auto& [path, saved] : files_) {
            const auto now = fileText(path);
            if (!now) return what + ": " + path + " is gone";
            if (*now != saved) return what + ": " + path + " no longer holds what was saved";
        }
        if (number % kProbeEvery == 0) {
            const bench::BenchFaults faults = bench_.faults;
            bench_.faults = {};
            const bool usable = context_.interpreter.readVcp(0x10).has_value();
            bench_.faults = faults;
            if (!usable) return what + ": a VCP read fails once the faults are lifted";
        }
        return {};
    }

    // How much of the work went through, so a soak that only ever meets
    // faults shows up.
    int savesDone = 0;
    int writeBacksDone = 0;
    int itemsRun = 0;
    int verifiedWritesDone = 0;

private:
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    std::uint8_t anyByte() { return static_cast<std::uint8_t>(pick(256)); }

    std::string operate() {
        switch (pick(14)) {
        case 0: {
            bench_.faults = {};
            return "faults lifted";
        }
        case 1: {
            const char* fault = kFaults[pick(static_cast<int>(std::size(kFaults)))];
            const std::string refusal = bench_.applyFault(fault);
            return std::string("fault ") + fault + refusal;
        }
        case 2:
            context_.flags.writeEnabled = context_.flags.writeEnabled != 0 ? 0 : 1;
            return "write-enabled " + std::to_string(context_.flags.writeEnabled);
        case 3:
            context_.flags.eepromAccessMode = context_.flags.eepromAccessMode == link::EepromAccessMode::ByPage
                                                  ? link::EepromAccessMode::ByDevice
                                                  : link::EepromAccessMode::ByPage;
            return "access form switched";
        case 4:
            return changeModel(static_cast<std::size_t>(pick(static_cast<int>(models_.size()))));
        case 5: {
            (void)context_.interpreter.readVcp(vcpCode());
            return "read VCP";
        }
        case 6: {
            const std::uint8_t code = vcpCode();
            (void)context_.interpreter.setVcp(code, anyByte());
            return "set VCP";
        }
        case 7:
        case 8: {
            if (items_.empty()) return "no item";
            const auto& entry = context_.model.itemTable[items_[static_cast<std::size_t>(pick(static_cast<int>(items_.size())))]];
            if (tools::functionWritesMemory(context_.model, entry.kind, entry.arg) && !backupCheck()) {
                return "run refused without a backup";
            }
            if (context_.interpreter.runItem(entry.kind, entry.arg)) ++itemsRun;
            return "run item of kind " + std::to_string(entry.kind);
        }
        case 9: {
            const auto page = static_cast<std::uint8_t>(pick(4));
            (void)context_.interpreter.readMemory(page, anyByte());
            return "read memory";
        }
        case 10: {
            // Now and then the byte whose writes are lost, so that a check that
            // misses it shows.
            const int lost = bench_.faults.lostWriteLocation;
            const int chosen = lost >= 0 && pick(3) == 0 ? lost : pick(0x400);
            const auto page = static_cast<std::uint8_t>(chosen / 256);
            const auto address = static_cast<std::uint8_t>(chosen % 256);
            if (!backupCheck()) return "write memory refused without a backup";
            requested_[page][address] = true;
            const std::uint8_t value = anyByte();
            if (pick(2) == 0) {
                (void)context_.interpreter.writeMemory(page, address, value);
                return "write memory";
            }
            const std::uint8_t single[] = {value};
            const int location = page * 256 + address;
            // Half of the verified writes go to a byte whose writes are lost.
            if (pick(2) == 0) bench_.faults.lostWriteLocation = location;
            if (tools::writeVerifiedRange(context_.interpreter, location, single).outcome ==
                tools::VerifiedRangeWrite::Outcome::Done) {
                ++verifiedWritesDone;
                if (bench_.monitor.memory[page][address] != value) failure_ = "a verified write reported a byte that did not take";
            }
            return "verified write memory";
        }
        case 11:
        case 12:
            return save();
        default:
            return writeBack();
        }
    }

    std::uint8_t vcpCode() {
        static constexpr std::uint8_t kCodes[] = {0x10, 0x12, 0x14, 0x16, 0x20, 0xDE, 0xE6};
        return pick(4) == 0 ? anyByte() : kCodes[pick(static_cast<int>(std::size(kCodes)))];
    }

    std::string changeModel(std::size_t index) {
        (void)context_.loadModel(models_.at(index));
        items_.clear();
        for (std::size_t code = 0; code < context_.model.itemTable.size(); ++code) {
            if (context_.model.itemTable[code].kind != 0) items_.push_back(code);
        }
        return "model " + models_[index];
    }

    std::string filePath() { return (directory_ / ("image" + std::to_string(pick(4)) + ".mem")).string(); }

    std::string save() {
        const int start = pick(0x400);
        const int end = std::min(0x3FF, start + pick(24));
        const tools::MemoryRange range = tools::MemoryRange::fromLocations(start, end);
        const std::string path = filePath();
        tools::SaveMemoryLogic logic(context_.interpreter, messages_, chooser_, wait_, range);
        logic.setFileName(path);
        const auto memoryBefore = bench_.monitor.memory;
        if (logic.saveRange(range) != tools::MemoryAction::Done) return "save refused or failed";
        const auto text = fileText(path);
        if (!text) {
            failure_ = "save reported done without a file";
            return path;
        }
        // A completed save holds what the monitor holds.
        std::vector<std::uint8_t> expected;
        for (int location = start; location <= end; ++location) {
            expected.push_back(memoryBefore[static_cast<std::size_t>(location / 256)][static_cast<std::size_t>(location % 256)]);
        }
        if (*text != tools::formatMemoryImage(start, end, expected)) failure_ = "the file holds other bytes than the monitor";
        files_[path] = *text;
        ++savesDone;
        return "save " + path;
    }

    std::string writeBack() {
        if (files_.empty()) return "nothing saved yet";
        auto file = files_.begin();
        std::advance(file, pick(static_cast<int>(files_.size())));
        tools::DumpMemoryLogic logic(context_.interpreter, messages_, chooser_, tools::MemoryRange{});
        if (!logic.loadFile(file->first)) {
            failure_ = "a saved file does not load";
            return file->first;
        }
        for (int location = logic.range().startLocation(); location <= logic.range().endLocation(); ++location) {
            requested_[static_cast<std::size_t>(location / 256)][static_cast<std::size_t>(location % 256)] = true;
        }
        const bool verify = pick(2) == 0;
        logic.guardWrites([this] { return backupCheck(); }, verify);
        if (logic.writeToMonitor() != tools::MemoryAction::Done) return "write back " + file->first;
        ++writeBacksDone;
        if (!verify) return "write back " + file->first;
        ++verifiedWritesDone;
        for (int location = logic.range().startLocation(); location <= logic.range().endLocation(); ++location) {
            const std::uint8_t wanted = logic.bytes()[static_cast<std::size_t>(location - logic.range().startLocation())];
            if (bench_.monitor.memory[static_cast<std::size_t>(location / 256)][static_cast<std::size_t>(location % 256)] != wanted) {
                failure_ = "a verified write-back reported a byte that did not take";
            }
        }
        return "verified write back " + file->first;
    }

    bool backupCheck() {
        return gate_->beforeWrite(context_.interpreter, context_.link, context_.clock, context_.model.modelName,
                                  asker_);
    }

    // A complete backup of the bench monitor that holds the EEPROM as it
    // was before the first write; what is wrong otherwise.
    std::string backupHoldsTheStart() const {
        const auto backups = tools::listBackups(gate_->root());
        if (backups.empty()) return "the EEPROM was written without a backup";
        for (const auto& backup : backups) {
            for (std::size_t page = 0; page < bench::MonitorState::kPages; ++page) {
                const auto text = fileText(backup.folder + "/" + tools::backupPageFileName(static_cast<int>(page)));
                const auto start = static_cast<int>(page * 256);
                if (text != tools::formatMemoryImage(start, start + 0xFF, startMemory_[page])) {
                    return "the backup " + backup.folder + " does not hold page " + std::to_string(page) +
                           " as it was before the first write";
                }
            }
        }
        return {};
    }

    std::string failure_;
    std::mt19937 random_;
    bench::VirtualBench bench_;
    platform::RecordingMessageSink messages_;
    session::OpenedWay way_ = session::openWayToMonitor({std::nullopt, &bench_}, messages_);
    session::ProgramContext& context_ = *way_.program;
    platform::ScriptedFileChooser chooser_;
    tools::WaitIndicator wait_;
    fs::path directory_;
    std::vector<std::string> models_;
    std::unique_ptr<tools::BackupGate> gate_;
    AlwaysBackUp asker_;
    std::vector<std::size_t> items_;
    std::map<std::string, std::string> files_;
    std::array<std::array<std::uint8_t, bench::MonitorState::kPageBytes>, bench::MonitorState::kPages> startMemory_{};
    std::array<std::array<bool, bench::MonitorState::kPageBytes>, bench::MonitorState::kPages> requested_{};
};

TEST(Soak, RandomOperationsUnderComingAndGoingFaultsKeepTheBenchSound) {
    const std::uint32_t seed = fromEnvironment("VELMORA_SOAK_SEED", 20261208);
    const std::uint32_t steps = fromEnvironment("VELMORA_SOAK_STEPS", VELMORA_SOAK_DEFAULT_STEPS);
    Soak soak(seed);
    for (std::uint32_t number = 1; number <= steps; ++number) {
        const std::string fault = soak.step(static_cast<int>(number));
        ASSERT_TRUE(fault.empty()) << "seed " << seed << ", step " << number << ": " << fault;
    }
    EXPECT_GT(soak.savesDone, 0);
    EXPECT_GT(soak.writeBacksDone, 0);
    EXPECT_GT(soak.itemsRun, 0);
    EXPECT_GT(soak.verifiedWritesDone, 0);
    std::printf("soak: seed %u, %u steps: %d saves, %d write-backs, %d items run to success, %d verified writes\n",
                seed, steps, soak.savesDone, soak.writeBacksDone, soak.itemsRun, soak.verifiedWritesDone);
}

}  // namespace
}  // namespace velmora
