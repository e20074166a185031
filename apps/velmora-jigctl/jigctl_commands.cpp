#include "apps/velmora-jigctl/jigctl_commands.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "bench/bench_i2c_adapter.h"
#include "bench/virtual_bench.h"
#include "console/page_lists.h"
#include "link/block_text.h"
#include "link/display_channel_link.h"
#include "model/image_layout.h"
#include "model/model_folders.h"
#include "model/display_channel_rig.h"
#include "model/program_context.h"
#include "platform/counting_platform.h"
#include "platform/i2c_dev_port.h"
#include "platform/port_choice.h"
#include "platform/files.h"
#include "platform/machine_link_platform.h"
#include "platform/user_folders.h"
#include "apps/velmora-jigctl/jigctl_detect.h"
#include "apps/velmora-jigctl/jigctl_edid.h"
#include "apps/velmora-jigctl/jigctl_json.h"
#include "apps/velmora-jigctl/jigctl_output.h"
#include "apps/velmora-jigctl/jigctl_stats.h"
#include "tools/crt_on_time.h"
#include "tools/dump_memory_logic.h"
#include "tools/memory_transfer.h"
#include "tools/preset_timing_text.h"
#include "tools/save_memory_logic.h"

namespace velmora::apps::jigctl {

using namespace velmora::tools;

namespace {

using model::ProgramContext;

std::string hex2(std::int64_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value & 0xFF));
    return text;
}

int clampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, -0x7FFFFFFF, 0x7FFFFFFF));
}

// The file chooser of the dialogs is never opened from the command line:
// the file is an argument.
class NoFileChooser : public platform::FileChooser {
public:
    std::optional<std::string> chooseOpenFile(const std::string&, const std::string&, const std::string&) override {
        return std::nullopt;
    }
};

// With --trace, passes the link transcript to standard error after each
// step and starts a fresh one (the transcript keeps at most 9999
// characters, so long transfers are passed on byte by byte).
class Trace {
public:
    Trace(link::MonitorLink& link, std::ostream& err, bool enabled) : link_(link), err_(err), enabled_(enabled) {
        if (enabled_) link_.transcriptOn();
    }
    void flush() {
        if (!enabled_) return;
        std::string text = terminalText(link_.transcriptText());
        text.erase(0, text.find_first_not_of('\n'));
        if (!text.empty()) err_ << text << (text.back() == '\n' ? "" : "\n");
        // A bus reset (EDID block read) switches the transcript off; tracing
        // goes on all the same.
        link_.transcriptOn();
    }
    ByteDone byteDone() {
        if (!enabled_) return {};
        return [this] { flush(); };
    }

private:
    link::MonitorLink& link_;
    std::ostream& err_;
    bool enabled_;
};

// Wipes the progress line before a message is written below it.
class ProgressWipingSink : public platform::MessageSink {
public:
    ProgressWipingSink(platform::MessageSink& sink, ProgressSlot& progress) : sink_(sink), progress_(progress) {}
    void showMessage(std::string_view text, std::string_view caption) override {
        progress_.wipe();
        sink_.showMessage(text, caption);
    }

private:
    platform::MessageSink& sink_;
    ProgressSlot& progress_;
};

struct Session {
    const Invocation& invocation;
    ProgramContext& program;
    platform::MessageSink& messages;
    Trace& trace;
    std::ostream& out;
    std::ostream& err;
    nlohmann::json* json;    // the result document with --json, nullptr for text
    std::ostream& terminal;  // where a progress line goes (standard error itself)
    ProgressSlot& progressShown;

    std::uint8_t number(std::size_t i) const { return static_cast<std::uint8_t>(invocation.numbers.at(i)); }
    ProgressLine progress(std::string label, std::string unit, std::int64_t total) {
        // The trace's lines would break into the progress line; it is one or the other.
        return ProgressLine(terminal, invocation.progress && !invocation.trace, program.platform.clock,
                            std::move(label), std::move(unit), total, &progressShown);
    }
};

int readVcp(Session& s) {
    const std::optional<model::VcpReading> reading = s.program.interpreter.readVcpValue(s.number(0));
    if (!reading) {
        s.err << "read-vcp: VCP " << hex2(s.number(0)) << " could not be read\n";
        return kExitOperationFailed;
    }
    if (s.json) {
        *s.json = vcpJson(s.number(0), reading->current, reading->maximum);
        return kExitSuccess;
    }
    s.out << "VCP " << hex2(s.number(0)) << ": current " << console::valueText(reading->current)
          << ", maximum " << console::valueText(reading->maximum) << "\n";
    return kExitSuccess;
}

int setVcp(Session& s) {
    auto& interpreter = s.program.interpreter;
    interpreter.vcpCode = s.number(0);
    interpreter.current = s.number(1);
    if (!interpreter.SetVcp()) {
        s.err << "set-vcp: VCP " << hex2(s.number(0)) << " could not be written\n";
        return kExitOperationFailed;
    }
    if (s.json) *s.json = {{"code", s.number(0)}, {"value", s.number(1)}, {"result", "OK"}};
    else s.out << "OK\n";
    return kExitSuccess;
}

int reportOutcome(Session& s, bool ok) {
    if (s.json) *s.json = {{"code", s.number(0)}, {"result", ok ? "OK" : "Error"}};
    else s.out << (ok ? "OK" : "Error") << "\n";
    return ok ? kExitSuccess : kExitOperationFailed;
}

int listItems(Session& s) {
    bool readFailed = false;
    const int pages = std::clamp(s.program.model.pageCount(), 0, console::kPageCount);
    if (s.json) *s.json = nlohmann::json::array();
    ProgressLine progress = s.progress("items", "pages", pages);
    for (int page = 0; page < pages; ++page) {
        const auto lists = console::buildPageLists(page, s.program.model, s.program.interpreter, s.program.link);
        if (s.program.link.errorCode() != link::LinkError::None) readFailed = true;
        progress.step();
        s.trace.flush();
        if (s.json) s.json->push_back(pageJson(page, lists));
        else s.out << pageListsText(page, lists);
    }
    progress.finish();
    if (readFailed) s.err << "items: values could not be read from the monitor\n";
    return readFailed ? kExitOperationFailed : kExitSuccess;
}

int runItem(Session& s) {
    const auto& entry = s.program.model.itemTable[s.number(0)];
    // The mode-table saves and dumps report their steps, the total with the
    // first report; other functions show no line.
    ProgressLine progress = s.progress("run", "steps", 0);
    auto& interpreter = s.program.interpreter;
    interpreter.stepDone = [&progress](std::size_t done, std::size_t total) {
        progress.showDone(static_cast<std::int64_t>(done), static_cast<std::int64_t>(total));
    };
    const bool ok = interpreter.RunItem(entry.kind, entry.arg);
    interpreter.stepDone = nullptr;
    progress.finish();
    return reportOutcome(s, ok);
}

// Before the first memory request, as the Memory & Edid window does: a
// monitor that only takes the other request form is then served.
void probeAccessForm(Session& s) {
    probeEepromAccessMode(s.program.interpreter, s.program.link, s.program.flags);
    s.trace.flush();
}

int readMem(Session& s) {
    probeAccessForm(s);
    const auto byte = readMemoryByte(s.program.interpreter, s.number(0), s.number(1));
    if (!byte) {
        s.err << "read-mem: the byte could not be read\n";
        return kExitOperationFailed;
    }
    if (s.json) *s.json = memoryByteJson(s.number(0), s.number(1), *byte);
    else s.out << hex2(*byte) << "\n";
    return kExitSuccess;
}

int writeMem(Session& s) {
    probeAccessForm(s);
    s.program.interpreter.page = s.number(0);
    if (!s.program.interpreter.WriteMemory(s.number(1), s.number(2), 1)) {
        s.err << "write-mem: the byte could not be written\n";
        return kExitOperationFailed;
    }
    if (s.json) {
        *s.json = memoryByteJson(s.number(0), s.number(1), s.number(2));
        (*s.json)["result"] = "OK";
    } else {
        s.out << "OK\n";
    }
    return kExitSuccess;
}

int edid(Session& s) {
    const auto block = static_cast<std::int32_t>(s.invocation.numbers.empty() ? 0 : s.invocation.numbers[0]);
    // The block read's bus reset switches the transcript off: reset here,
    // let the trace switch it on again, then read.
    s.program.link.busReset();
    s.trace.flush();
    const std::uint8_t* reply = s.program.link.transferEepromBlock(block);
    if (reply != nullptr && s.invocation.decode) {
        return printDecodedEdid(std::span<const std::uint8_t>(reply, link::kEepromBlockBytes), s.json, s.out, s.err);
    }
    if (s.json) {
        if (reply != nullptr) *s.json = blockJson(block, std::span<const std::uint8_t>(reply, link::kEepromBlockBytes));
        else s.err << "edid: block " << block << " could not be read\n";
        return reply != nullptr ? kExitSuccess : kExitOperationFailed;
    }
    const std::string text =
        reply != nullptr
            ? link::blockRowsText(std::span<const std::uint8_t, link::kEepromBlockBytes>(reply, link::kEepromBlockBytes))
            : link::unreadBlockText();
    const std::string shown = terminalText(text);
    s.out << shown << (shown.ends_with('\n') ? "" : "\n");
    return reply != nullptr ? kExitSuccess : kExitOperationFailed;
}

int crtTime(Session& s) {
    const CrtOnTimeReadout readout = readCrtOnTime(s.program.link);
    if (s.json && readout.supported) *s.json = crtTimeJson(readout);
    else (s.json ? s.err : s.out) << readout.text << "\n";
    return readout.supported ? kExitSuccess : kExitOperationFailed;
}

int exitFor(MemoryAction action) {
    switch (action) {
    case MemoryAction::Done: return kExitSuccess;
    case MemoryAction::Refused: return kExitUsage;
    case MemoryAction::Failed: return kExitOperationFailed;
    }
    return kExitOperationFailed;
}

// The byte-done call of a transfer: the trace's, then one step of the progress line.
ByteDone withProgress(ByteDone trace, ProgressLine& progress) {
    return [trace = std::move(trace), &progress] {
        if (trace) trace();
        progress.step();
    };
}

int saveMem(Session& s) {
    NoFileChooser chooser;
    WaitIndicator noWait;
    const auto& n = s.invocation.numbers;
    const MemoryRange range{clampToInt(n.at(0)), clampToInt(n.at(2)), clampToInt(n.at(1)), clampToInt(n.at(3))};
    SaveMemoryLogic save(s.program.interpreter, s.messages, chooser, noWait, range);
    save.setFileName(s.invocation.file);
    save.setBeforeReading([&s] { probeAccessForm(s); });
    ProgressLine progress = s.progress("save-mem", "bytes", range.endLocation() - range.startLocation() + 1);
    save.setByteDone(withProgress(s.trace.byteDone(), progress));
    const MemoryAction action = save.saveRange(range);
    progress.finish();
    if (s.json && action == MemoryAction::Done) *s.json = transferJson(s.invocation.file, range);
    return exitFor(action);
}

int loadMem(Session& s) {
    NoFileChooser chooser;
    DumpMemoryLogic dump(s.program.interpreter, s.messages, chooser, MemoryRange{});
    if (!dump.loadFile(s.invocation.file)) return kExitUsage;
    probeAccessForm(s);
    ProgressLine progress = s.progress("load-mem", "bytes", static_cast<std::int64_t>(dump.bytes().size()));
    dump.setByteDone(withProgress(s.trace.byteDone(), progress));
    const MemoryAction action = dump.writeToMonitor();
    progress.finish();
    if (s.json && action == MemoryAction::Done) *s.json = transferJson(s.invocation.file, dump.range());
    return exitFor(action);
}

int dispatch(Session& s) {
    auto& interpreter = s.program.interpreter;
    switch (s.invocation.command) {
    case Command::ReadVcp: return readVcp(s);
    case Command::SetVcp: return setVcp(s);
    case Command::Service: return reportOutcome(s, interpreter.SendServiceCommand(s.number(0)));
    case Command::Items: return listItems(s);
    case Command::Run: return runItem(s);
    case Command::ReadMem: return readMem(s);
    case Command::WriteMem: return writeMem(s);
    case Command::Edid: return edid(s);
    case Command::CrtTime: return crtTime(s);
    case Command::SaveMem: return saveMem(s);
    case Command::LoadMem: return loadMem(s);
    case Command::Help:
    case Command::Timings:
    case Command::DecodeEdid:
    case Command::Detect: break;
    }
    return kExitUsage;
}

// Functions RUN can be asked for: what the console puts in a function list.
bool isRunnable(std::int16_t kind) {
    return kind != model::item_kind::None && kind != model::item_kind::VcpUp && kind != model::item_kind::VcpDown &&
           kind != model::item_kind::ServiceVcp && !console::isServiceMemoryKind(kind);
}

std::unique_ptr<model::ModelDescription> loadModel(const std::string& path, std::ostream& err) {
    auto model = std::make_unique<model::ModelDescription>();
    model->modelPath = path;
    if (!model->LoadModelFile()) {
        err << "velmora-jigctl: cannot load " << path << ": " << model->lastLoadFailure() << "\n";
        return nullptr;
    }
    // As in the window, a model with compile errors is used all the same
    // once they have been shown.
    if (model->errorFlag) err << "Label or Identifier Error :\n" << model->errorText;
    return model;
}

// --model takes a path, or the name of a model file where the console
// looks for its models.
std::optional<std::string> resolveModel(const std::string& nameOrPath, std::ostream& err) {
    const model::ModelFolders folders =
        model::programModelFolders(platform::programDirectory(), platform::userDataHome());
    auto path = model::findModelFile(nameOrPath, folders);
    if (!path) {
        err << "velmora-jigctl: no model \"" << nameOrPath << "\": not a file, and no " << nameOrPath << ".mdl in";
        for (const std::string& folder : folders.searchOrder) err << " " << folder;
        err << "\n";
    }
    return path;
}

constexpr const char* kDefaultJigPort = "/dev/parport0";
constexpr const char* kBenchChannelNode = "/dev/i2c-bench";

// Where a command's output goes: the text streams, or with --json the
// capture streams and the document.
struct Outputs {
    std::ostream& out;         // results (and completed-transfer messages)
    std::ostream& err;         // the link's reports, refusals, errors
    std::ostream& diagnostic;  // trace, stats and progress: always standard error
    nlohmann::json* json;
    link::LinkError linkError = link::LinkError::None;
};

int runCommand(const Invocation& invocation, Outputs& outputs) {
    std::ostream& out = outputs.out;
    std::ostream& err = outputs.err;
    std::unique_ptr<model::ModelDescription> model;
    if (invocation.modelPath) {
        const auto path = resolveModel(*invocation.modelPath, err);
        if (!path) return kExitUsage;
        model = loadModel(*path, err);
        if (!model) return kExitUsage;
    }
    if (invocation.command == Command::Timings) {
        if (outputs.json) *outputs.json = timingsJson(*model);
        else out << presetTimingText(presetTimingTexts(*model));
        return kExitSuccess;
    }
    if (invocation.command == Command::DecodeEdid) return decodeEdidFile(invocation, outputs.json, out, err);
    if (invocation.command == Command::Detect) return detectMonitors(DetectPlaces{}, invocation.bench, out, err);
    if (invocation.command == Command::Run && !isRunnable(model->itemTable[invocation.numbers.at(0)].kind)) {
        err << "velmora-jigctl: item code " << hex2(invocation.numbers.at(0)) << " is no function of "
            << (model->modelName.empty() ? *invocation.modelPath : model->modelName) << "\n";
        return kExitUsage;
    }

    StreamMessageSink streamMessages(out, err);
    ProgressSlot progressShown;
    ProgressWipingSink messages(streamMessages, progressShown);
    std::unique_ptr<bench::VirtualBench> bench;
    std::unique_ptr<platform::MachineLinkPlatform> machine;
    std::unique_ptr<model::DisplayChannelRig> channel;
    std::optional<platform::LinkPlatform> platform;
    if (invocation.bench) {
        bench = std::make_unique<bench::VirtualBench>(bench::BenchTiming::Virtual);
        for (const std::string& fault : invocation.benchFaults) {
            const std::string refusal = bench->applyFault(fault);
            if (!refusal.empty()) {
                err << "velmora-jigctl: " << refusal << "\n";
                return kExitUsage;
            }
        }
        if (invocation.benchEdidPath && !loadBenchEdid(*bench, *invocation.benchEdidPath, err)) return kExitUsage;
        platform.emplace(bench->platform(messages));
        if (invocation.benchPort == BenchPort::I2c) {
            channel = std::make_unique<model::DisplayChannelRig>(std::make_unique<bench::BenchI2cAdapter>(*bench));
            (void)channel->open(kBenchChannelNode);
        }
    } else {
        // Without --port, the first parallel port as always.
        const platform::PortChoice port = invocation.port ? platform::choosePort(*invocation.port)
                                                          : platform::PortChoice{platform::PortKind::Jig, kDefaultJigPort};
        if (port.kind == platform::PortKind::Unknown) {
            err << "velmora-jigctl: --port " << *invocation.port
                << " is neither a display channel (/dev/i2c-N, i2c-N) nor a parallel port (/dev/parportN, parportN)\n";
            return kExitUsage;
        }
        if (port.kind == platform::PortKind::DisplayChannel) {
            channel = std::make_unique<model::DisplayChannelRig>(std::make_unique<platform::LinuxI2cKernel>());
            if (const int error = channel->open(port.device); error != 0) {
                err << "velmora-jigctl: cannot open the display channel "
                    << platform::describeI2cFailure(port.device, error, channel->port.lockHolder()) << "\n";
                return kExitOperationFailed;
            }
            platform.emplace(channel->platform(messages));
        } else {
            machine = std::make_unique<platform::MachineLinkPlatform>(err, port.device.c_str());
            platform.emplace(machine->platform(messages));
        }
    }
    // Port accesses and pauses are counted on their way, for --stats.
    platform::PlatformCounters counters;
    platform::CountingPortIo countingPort(platform->port, counters);
    platform::CountingClock countingClock(platform->clock, counters);
    const platform::LinkPlatform counted{countingPort, countingClock, platform->spin, platform->shield,
                                         platform->messages};

    std::unique_ptr<ProgramContext> program;
    if (channel) {
        // The link's own waits are its counters' (not the clock's) to count.
        platform::Clock& linkClock = platform->clock;
        const link::DisplayChannelTiming timing = invocation.ddcciFast ? link::kFastTiming : link::kDdcCiTiming;
        program = std::make_unique<ProgramContext>(counted, channel->linkMaker(linkClock, messages, timing));
    } else {
        program = std::make_unique<ProgramContext>(counted);
    }
    program->flags.writeEnabled = invocation.readOnly ? 0 : 1;
    if (model) {
        program->model = *model;
        if (model->protocolReplyMode) program->link.setReplyMode(*model->protocolReplyMode);
        program->link.expectMonitors(model->monitorIdentities(), model->modelName);
    }
    if (invocation.protocol) program->link.setReplyMode(*invocation.protocol);
    // Command packets of a model that replies as bus master cannot be had
    // through a display channel; the EEPROM reads can.
    if (channel && program->link.replyMode() == link::ReplyMode::SlaveReceive && invocation.command != Command::Edid) {
        err << "velmora-jigctl: " << link::kSlaveReceiveRefusal
            << " Use --port /dev/parportN with the interface board, or --protocol ddc2bi for a monitor that does"
               " answer in MasterRead mode.\n";
        return kExitOperationFailed;
    }

    Trace trace(program->link, outputs.diagnostic, invocation.trace);
    const CostMeter meter(program->link, counters, countingClock, invocation.bench);
    Session session{invocation, *program, messages, trace, out, err, outputs.json, outputs.diagnostic, progressShown};
    const int status = dispatch(session);
    trace.flush();
    // What the adapter said about the last failed transfer, with its remedy
    // (no monitor on the cable, a busy adapter), below the link's own words.
    // An EDID block past the first may simply not exist.
    const bool laterBlock = invocation.command == Command::Edid && !invocation.numbers.empty() && invocation.numbers[0] != 0;
    if (channel && status == kExitOperationFailed && channel->port.lastError() != 0 && !laterBlock) {
        outputs.diagnostic << "velmora-jigctl: on the display channel "
                           << platform::describeI2cFailure(channel->port.path(), channel->port.lastError()) << "\n";
    }
    outputs.linkError = program->link.errorCode();
    if (invocation.stats) {
        const OperationCost cost = meter.cost();
        outputs.diagnostic << (invocation.json ? jsonLine(costJson(cost)) : costText(cost)) << "\n";
    }
    return status;
}

}  // namespace

int runInvocation(const Invocation& invocation, std::ostream& out, std::ostream& err) {
    if (!invocation.json) {
        Outputs text{out, err, err, nullptr};
        return runCommand(invocation, text);
    }
    // One document on standard output whatever happens: the result, or what
    // went wrong with the link's error code.
    std::ostringstream results;
    std::ostringstream messages;
    nlohmann::json document;
    Outputs outputs{results, messages, err, &document};
    const int status = runCommand(invocation, outputs);
    if (status == kExitSuccess) {
        // A completed transfer's message box, and warnings such as compile
        // errors, are kept: the message in the document, warnings on
        // standard error.
        const std::string shown = errorText(results.str());
        if (!shown.empty() && document.is_object()) document["message"] = shown;
        err << messages.str();
        out << jsonLine(document) << "\n";
        return status;
    }
    std::string text = errorText(messages.str());
    if (text.empty() && document.is_object()) text = document.value("result", "");
    out << jsonLine(errorJson(text.empty() ? "failed" : text, outputs.linkError)) << "\n";
    return status;
}

}  // namespace velmora::apps::jigctl
