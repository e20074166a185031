#include "apps/velmora-jigctl/jigctl_commands.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>

#include "bench/virtual_bench.h"
#include "console/page_lists.h"
#include "link/block_text.h"
#include "model/image_layout.h"
#include "model/item_kinds.h"
#include "model/item_names.h"
#include "model/model_folders.h"
#include "platform/counting_platform.h"
#include "platform/files.h"
#include "platform/replacing_file.h"
#include "platform/user_folders.h"
#include "session/monitor_door.h"
#include "apps/velmora-jigctl/jigctl_capabilities.h"
#include "apps/velmora-jigctl/jigctl_detect.h"
#include "apps/velmora-jigctl/jigctl_edid.h"
#include "apps/velmora-jigctl/jigctl_json.h"
#include "apps/velmora-jigctl/jigctl_pattern.h"
#include "apps/velmora-jigctl/jigctl_output.h"
#include "apps/velmora-jigctl/jigctl_safekeeping.h"
#include "apps/velmora-jigctl/jigctl_stats.h"
#include "apps/velmora-jigctl/jigctl_watched_link.h"
#include "link/capabilities_read.h"
#include "link/mccs_features.h"
#include "tools/crt_on_time.h"
#include "tools/memory_dialog_common.h"
#include "tools/memory_compare.h"
#include "tools/memory_file.h"
#include "tools/memory_transfer.h"
#include "tools/model_capabilities.h"
#include "tools/memory_writing_functions.h"
#include "tools/preset_timing_text.h"
#include "tools/wide_vcp.h"

namespace velmora::apps::jigctl {

using namespace velmora::tools;

namespace {

using session::ProgramContext;

constexpr int kPageBytes = 256;
constexpr int kLastPage = 3;
constexpr int kLastAddress = 0xFF;
// The largest model text taken from standard input.
constexpr std::size_t kModelInputLimit = 1 << 20;

std::string hex2(std::int64_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%02X", static_cast<unsigned>(value & 0xFF));
    return text;
}

int clampToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, -0x7FFFFFFF, 0x7FFFFFFF));
}

// "page 1 address 3F"
std::string locationText(int location) {
    return "page " + std::to_string(location / kPageBytes) + " address " + hex2(location % kPageBytes);
}

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
        return ProgressLine(terminal, invocation.progress && !invocation.trace, program.clock,
                            std::move(label), std::move(unit), total, &progressShown);
    }
    // "velmora-jigctl: COMMAND: WHY" on standard error; returns `status`.
    int fail(const std::string& why, int status = kExitOperationFailed) {
        progressShown.wipe();
        err << "velmora-jigctl: " << invocation.commandName << ": " << why << "\n";
        return status;
    }
};

// A display channel has no jig requests to keep: its VCP values are read
// and written with all 16 bits DDC/CI gives them.
bool onDisplayChannel(Session& s) { return s.program.link.jigControls() == nullptr; }

// "%3d (%sh)" as the console shows a value; four hex digits above a byte.
std::string wideValueText(int value) {
    if (value <= 0xFF) return console::valueText(value);
    char text[32];
    std::snprintf(text, sizeof text, "%3d (%04Xh)", value, static_cast<unsigned>(value));
    return text;
}

std::optional<tools::WideVcpReading> readVcpOnce(Session& s, std::uint8_t code) {
    if (onDisplayChannel(s)) return tools::readWideVcp(s.program.link, code);
    const std::optional<model::VcpReading> reading = s.program.interpreter.readVcp(code);
    if (!reading) return std::nullopt;
    return tools::WideVcpReading{reading->current, reading->maximum, 0};
}

// The backup of the EEPROM before the first write to a monitor (see
// jigctl_safekeeping.h); false when none could be made, which is said.
bool backedUp(Session& s) {
    ProgressLine progress = s.progress("backup", "bytes", kBackupBytes);
    const bool ok = backupBeforeWrite(
        s.invocation, s.program, [&progress](int done, int total) { progress.showDone(done, total); }, s.err);
    progress.finish();
    s.trace.flush();
    return ok;
}

// With --verify, the byte just written read back; the failure when it did
// not take (exit status 1), or nothing.
std::optional<int> verifyFailure(Session& s, int location, std::uint8_t value, std::string_view written) {
    if (!s.invocation.verify) return std::nullopt;
    const auto mismatch = checkWrittenByte(s.program.interpreter, location, value);
    s.trace.flush();
    if (!mismatch) return std::nullopt;
    return s.fail("verify: " + mismatchText(*mismatch) + "; " + std::string(written));
}

int readVcp(Session& s) {
    // Several codes are read one after the other on the same link.
    nlohmann::json readings = nlohmann::json::array();
    for (std::size_t i = 0; i < s.invocation.numbers.size(); ++i) {
        const std::uint8_t code = s.number(i);
        const std::optional<tools::WideVcpReading> reading = readVcpOnce(s, code);
        s.trace.flush();
        if (!reading) return s.fail("VCP " + hex2(code) + " could not be read");
        const std::string_view name = link::mccsFeatureName(code);
        if (s.json) {
            readings.push_back(vcpJson(code, reading->current, reading->maximum));
            readings.back()["name"] = std::string(name);
        } else {
            s.out << "VCP " << hex2(code) << ": current " << wideValueText(reading->current) << ", maximum "
                  << wideValueText(reading->maximum) << "  " << name << "\n";
        }
    }
    if (s.json) *s.json = readings.size() == 1 ? readings[0] : readings;
    return kExitSuccess;
}

int setVcp(Session& s) {
    const std::int64_t value = s.invocation.numbers.at(1);
    bool written = false;
    if (onDisplayChannel(s)) {
        written = tools::setWideVcp(s.program.link, s.number(0), static_cast<std::uint16_t>(value));
    } else if (value > 0xFF) {
        // A --port that named the jig: its Set VCP carries one byte.
        return s.fail("\"" + std::to_string(value) + "\" is outside 0..255 (00h..FFh): the jig's Set VCP carries one byte",
                      kExitUsage);
    } else {
        written = s.program.interpreter.setVcp(s.number(0), s.number(1));
    }
    if (!written) return s.fail("VCP " + hex2(s.number(0)) + " could not be written");
    if (s.json) *s.json = {{"vcp", s.number(0)}, {"value", value}, {"result", "OK"}};
    else s.out << "OK\n";
    return kExitSuccess;
}

// OK on standard output, or the monitor's "Error" as a failure.
int reportOutcome(Session& s, std::string_view key, bool ok) {
    if (!ok) return s.fail(hex2(s.number(0)) + ": Error");
    if (s.json) *s.json = {{std::string(key), s.number(0)}, {"result", "OK"}};
    else s.out << "OK\n";
    return kExitSuccess;
}

int listItems(Session& s) {
    bool readFailed = false;
    const int pages = std::clamp(s.program.model.pageCount(), 0, console::kPageCount);
    nlohmann::json documents = nlohmann::json::array();
    std::string text;
    ProgressLine progress = s.progress("items", "pages", pages);
    for (int page = 0; page < pages && !interrupted(); ++page) {
        const auto lists = console::buildPageLists(page, s.program.model, s.program.interpreter, s.program.link);
        if (s.program.link.errorCode() != link::LinkError::None) readFailed = true;
        progress.step();
        s.trace.flush();
        const std::vector<int> codes = functionItemCodes(page, s.program.model);
        if (s.json) documents.push_back(pageJson(page, lists, codes));
        else text += pageListsText(page, lists, codes);
    }
    progress.finish();
    if (interrupted()) return kExitInterrupted;
    if (readFailed) return s.fail("values could not be read from the monitor");
    if (s.json) *s.json = documents;
    else s.out << text;
    return kExitSuccess;
}

int runItem(Session& s) {
    const auto& entry = s.program.model.itemTable[s.number(0)];
    if (functionWritesMemory(s.program.model, entry.kind, entry.arg)) {
        probeEepromAccessMode(s.program.interpreter, s.program.link, s.program.flags);
        if (!backedUp(s)) return kExitOperationFailed;
    }
    // The mode-table saves and dumps report their steps, the total with the
    // first report; other functions show no line.
    ProgressLine progress = s.progress("run", "steps", 0);
    auto& interpreter = s.program.interpreter;
    (void)interpreter.watchSteps([&progress](std::size_t done, std::size_t total) {
        progress.showDone(static_cast<std::int64_t>(done), static_cast<std::int64_t>(total));
    });
    const bool ok = interpreter.runItem(entry.kind, entry.arg);
    (void)interpreter.watchSteps(nullptr);
    progress.finish();
    if (interrupted()) return kExitInterrupted;
    return reportOutcome(s, "item", ok);
}

// Before the first memory request, as the Memory & Edid window does: a
// monitor that only takes the other request form is then served.
void probeAccessForm(Session& s) {
    probeEepromAccessMode(s.program.interpreter, s.program.link, s.program.flags);
    s.trace.flush();
}

int readMem(Session& s) {
    probeAccessForm(s);
    const auto byte = s.program.interpreter.readMemory(s.number(0), s.number(1));
    s.trace.flush();
    if (!byte) return s.fail(locationText(s.number(0) * kPageBytes + s.number(1)) + " could not be read");
    if (s.json) *s.json = memoryByteJson(s.number(0), s.number(1), *byte);
    else s.out << console::valueText(*byte) << "\n";
    return kExitSuccess;
}

int writeMem(Session& s) {
    probeAccessForm(s);
    if (!backedUp(s)) return kExitOperationFailed;
    if (!s.program.interpreter.writeMemory(s.number(0), s.number(1), s.number(2))) {
        return s.fail(locationText(s.number(0) * kPageBytes + s.number(1)) + " could not be written");
    }
    if (auto failed = verifyFailure(s, s.number(0) * kPageBytes + s.number(1), s.number(2), "the write did not take")) {
        return *failed;
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
    if (reply == nullptr) return s.fail("block " + std::to_string(block) + " could not be read");
    const std::span<const std::uint8_t> bytes(reply, link::kEepromBlockBytes);
    if (s.invocation.decode) return printDecodedEdid("edid", bytes, s.json, s.out, s.err);
    if (s.json) {
        *s.json = blockJson(block, bytes);
        return kExitSuccess;
    }
    const std::string shown =
        terminalText(link::blockRowsText(std::span<const std::uint8_t, link::kEepromBlockBytes>(bytes)));
    s.out << shown << (shown.ends_with('\n') ? "" : "\n");
    return kExitSuccess;
}

int crtTime(Session& s) {
    const CrtOnTimeReadout readout = readCrtOnTime(s.program.link);
    if (!readout.supported) return s.fail(readout.text);
    if (s.json) *s.json = crtTimeJson(readout);
    else s.out << readout.text << "\n";
    return kExitSuccess;
}

// Where a save or load stopped when Ctrl-C came: the last location done.
std::string interruptedText(const MemoryRange& range, std::size_t done, std::size_t total, std::string_view verb) {
    const std::string where = done == 0 ? "before the first byte"
                                        : "after " + locationText(range.startLocation() + static_cast<int>(done) - 1);
    return "interrupted " + where + "; " + std::to_string(done) + " of " + std::to_string(total) + " bytes " +
           std::string(verb);
}

// The checks of the Save Memory dialog, with its messages.
std::string_view rangeRefusal(const MemoryRange& range) {
    const auto pageOk = [](int page) { return page >= 0 && page <= kLastPage; };
    const auto addressOk = [](int address) { return address >= 0 && address <= kLastAddress; };
    if (!pageOk(range.fromPage) || !pageOk(range.toPage)) return kPageOutOfRange;
    if (!addressOk(range.fromAddress) || !addressOk(range.toAddress)) return kAddressOutOfRange;
    return rangeFault(range);
}

int saveMem(Session& s) {
    const auto& n = s.invocation.numbers;
    const MemoryRange range{clampToInt(n.at(0)), clampToInt(n.at(2)), clampToInt(n.at(1)), clampToInt(n.at(3))};
    if (const std::string_view refusal = rangeRefusal(range); !refusal.empty()) {
        return s.fail(std::string(refusal), kExitUsage);
    }
    const std::string& name = s.invocation.file;
    const bool toStandardOutput = name == kStandardStream;
    // A target that cannot be written is refused before anything is sent;
    // it is replaced only once every byte was read.
    std::optional<platform::ReplacingFile> file =
        toStandardOutput ? std::nullopt : platform::ReplacingFile::create(name);
    if (!toStandardOutput && !file) return s.fail(cantOpenFileText(name), kExitUsage);
    probeAccessForm(s);
    const auto total = static_cast<std::size_t>(range.endLocation() - range.startLocation() + 1);
    std::vector<std::uint8_t> bytes;
    bytes.reserve(total);
    ProgressLine progress = s.progress("save-mem", "bytes", static_cast<std::int64_t>(total));
    for (int location = range.startLocation(); location <= range.endLocation() && !interrupted(); ++location) {
        const auto byte = s.program.interpreter.readMemory(static_cast<std::uint8_t>(location / kPageBytes),
                                         static_cast<std::uint8_t>(location % kPageBytes));
        s.trace.flush();
        if (!byte && interrupted()) break;  // Ctrl-C came before the request went out
        if (!byte) {
            return s.fail(std::string(kCommunicationError) + " Stopped at " + locationText(location) + "; " +
                          (toStandardOutput ? "nothing was written" : name + " is left as it was"));
        }
        bytes.push_back(*byte);
        progress.step();
    }
    progress.finish();
    if (bytes.size() < total) {
        return s.fail(interruptedText(range, bytes.size(), total, "read") +
                          (toStandardOutput ? "; nothing was written" : "; " + name + " is left as it was"),
                      kExitInterrupted);
    }
    const std::string image = formatMemoryImage(range.startLocation(), range.endLocation(), bytes);
    if (toStandardOutput) {
        s.out << image << std::flush;
        return kExitSuccess;
    }
    if (!file->commit(image)) return s.fail(cantWriteFileText(name, file->failureReason()));
    if (s.json) {
        *s.json = transferJson(name, range);
        (*s.json)["message"] = kReadingSuccess;
    } else {
        s.out << kReadingSuccess << "\n";
    }
    return kExitSuccess;
}

// The memory image of load-mem: from the file, or from standard input.
std::variant<MemoryImage, std::string> loadImage(const std::string& name) {
    if (name != kStandardStream) return readMemoryFile(name);
    const auto text = readStandardInput(kMaxMemoryFileLength);
    if (!text) return std::string(kNotAMemoryFile);
    return parseMemoryImage(*text);
}

int loadMem(Session& s) {
    const std::string& name = s.invocation.file;
    auto loaded = loadImage(name);
    if (const auto* refusal = std::get_if<std::string>(&loaded)) return s.fail(*refusal, kExitUsage);
    const MemoryImage& image = std::get<MemoryImage>(loaded);
    catchInterrupt();
    const MemoryRange range = MemoryRange::fromLocations(image.start, image.end);
    // A header beyond the monitor's memory, or one that ends before it
    // starts, is refused before anything is written.
    if (const std::string_view refusal = rangeRefusal(range); !refusal.empty()) {
        return s.fail(std::string(refusal), kExitUsage);
    }
    probeAccessForm(s);
    if (!backedUp(s)) return kExitOperationFailed;
    const std::size_t total = image.bytes.size();
    std::size_t written = 0;
    ProgressLine progress = s.progress("load-mem", "bytes", static_cast<std::int64_t>(total));
    auto& interpreter = s.program.interpreter;
    for (; written < total && !interrupted(); ++written) {
        const int location = range.startLocation() + static_cast<int>(written);
        const bool ok = interpreter.writeMemory(static_cast<std::uint8_t>(location / kPageBytes),
                                                static_cast<std::uint8_t>(location % kPageBytes), image.bytes[written]);
        s.trace.flush();
        if (!ok && interrupted()) break;  // Ctrl-C came before the request went out
        if (!ok) {
            return s.fail(std::string(kCommunicationError) + " Stopped at " + locationText(location) + "; " +
                          std::to_string(written) + " of " + std::to_string(total) + " bytes written");
        }
        if (auto failed = verifyFailure(s, location, image.bytes[written],
                                        "stopped there; " + std::to_string(written) + " of " + std::to_string(total) +
                                            " bytes written before it")) {
            return *failed;
        }
        progress.step();
    }
    progress.finish();
    if (written < total) return s.fail(interruptedText(range, written, total, "written"), kExitInterrupted);
    if (s.json) {
        *s.json = transferJson(name, range);
        (*s.json)["message"] = kWritingSuccess;
    } else {
        s.out << kWritingSuccess << "\n";
    }
    return kExitSuccess;
}

int dispatch(Session& s) {
    auto& interpreter = s.program.interpreter;
    switch (s.invocation.command) {
    case Command::ReadVcp: return readVcp(s);
    case Command::SetVcp: return setVcp(s);
    case Command::Service:
        if (serviceCodeWritesMemory(s.number(0)) && !backedUp(s)) return kExitOperationFailed;
        return reportOutcome(s, "service", interpreter.sendServiceCommand(s.number(0)));
    case Command::Items: return listItems(s);
    case Command::Run: return runItem(s);
    case Command::ReadMem: return readMem(s);
    case Command::WriteMem: return writeMem(s);
    case Command::Edid: return edid(s);
    case Command::CrtTime: return crtTime(s);
    case Command::SaveMem: return saveMem(s);
    case Command::LoadMem: return loadMem(s);
    case Command::DiffMem: return diffMonitorCommand(s.invocation, s.program, {}, s.json, s.out, s.err);
    case Command::Capabilities:
        // The display channel keeps the standard's gap between requests itself.
        return readMonitorCapabilities(s.invocation, s.program.link, s.program.clock,
                                       onDisplayChannel(s) ? 0 : link::kCapabilitiesReplyWaitMs, s.json, s.out, s.err);
    case Command::ParseCapabilities:
    case Command::Backups:
    case Command::Help:
    case Command::Version:
    case Command::Timings:
    case Command::DecodeEdid:
    case Command::Detect:
    case Command::Pattern: break;
    }
    return kExitUsage;
}

// "FILE:LINE:COLUMN: error: TEXT" as compilers print it, for editors to jump to.
std::string diagnosticLine(const std::string& file, const model::SourceDiagnostic& report) {
    std::string line = file;
    if (report.line > 0) {
        line += ":" + std::to_string(report.line);
        if (report.column > 0) line += ":" + std::to_string(report.column);
    }
    return line + ": error: " + report.text;
}

// A model that does not compile cleanly is not used: its items and
// scripts would be built from a half-read source.
std::unique_ptr<model::ModelDescription> loadModel(const std::string& chosen, std::ostream& err) {
    auto model = std::make_unique<model::ModelDescription>();
    // A model from standard input is named as compilers name it.
    const std::string path = chosen == kStandardStream ? "<stdin>" : chosen;
    model->modelPath = chosen;
    if (chosen == kStandardStream) {
        const auto text = readStandardInput(kModelInputLimit);
        if (!text || text->empty()) {
            err << "velmora-jigctl: --model: standard input holds no model (empty, or more than " << kModelInputLimit
                << " bytes)\n";
            return nullptr;
        }
        model->compileText(*text);
    } else if (!model->loadModelFile()) {
        err << "velmora-jigctl: --model: cannot load " << path << ": " << model->lastLoadFailure() << "\n";
        return nullptr;
    }
    if (!model->errorFlag) return model;
    const auto& reports = model->compileTrace().diagnostics();
    for (const auto& report : reports) err << diagnosticLine(path, report) << "\n";
    if (reports.empty()) err << path << ": error: " << errorText(model->errorText) << "\n";
    err << "velmora-jigctl: --model: " << path << " has compile errors and is not used; correct them (velmora-mdl check "
        << (chosen == kStandardStream ? "FILE.mdl" : path) << ")\n";
    return nullptr;
}

// --model takes a path, or the name of a model file where the console
// looks for its models.
std::optional<std::string> resolveModel(const std::string& nameOrPath, std::ostream& err) {
    const model::ModelFolders folders =
        model::programModelFolders(platform::programDirectory(), platform::userDataHome());
    auto path = model::findModelFile(nameOrPath, folders);
    if (!path) {
        err << "velmora-jigctl: --model: no model \"" << nameOrPath << "\": not a file, and no " << nameOrPath
            << ".mdl in";
        for (const std::string& folder : folders.searchOrder) err << " " << folder;
        err << "\n";
    }
    return path;
}

// Where a command's output goes: the text streams, or with --json the
// capture streams and the document.
struct Outputs {
    std::ostream& out;         // results (and completed-transfer messages)
    std::ostream& err;         // the link's reports, refusals, errors
    std::ostream& diagnostic;  // trace, stats and progress: always standard error
    nlohmann::json* json;
    std::optional<int> linkError;  // for the JSON of a failure
};

int runCommand(const Invocation& invocation, Outputs& outputs) {
    std::ostream& out = outputs.out;
    std::ostream& err = outputs.err;
    std::unique_ptr<model::ModelDescription> model;
    if (invocation.modelPath) {
        const auto path = *invocation.modelPath == kStandardStream ? std::optional<std::string>(*invocation.modelPath)
                                                                     : resolveModel(*invocation.modelPath, err);
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
    if (invocation.command == Command::ParseCapabilities) return parseCapabilitiesFile(invocation, outputs.json, out, err);
    if (invocation.command == Command::Backups) return listBackupsCommand(outputs.json, out, err);
    if (invocation.command == Command::DiffMem && !invocation.againstMonitor) {
        return diffFilesCommand(invocation, outputs.json, out, err);
    }
    if (invocation.command == Command::Pattern) return runPattern(invocation, *model, out, err);
    if (invocation.command == Command::Detect) {
        return detectMonitors(DetectPlaces{}, invocation.bench, out, err, outputs.json);
    }
    if (invocation.command == Command::Run && !model::isFunctionKind(model->itemTable[invocation.numbers.at(0)].kind)) {
        err << "velmora-jigctl: run: item code " << hex2(invocation.numbers.at(0)) << " is no function of "
            << (model->modelName.empty() ? *invocation.modelPath : model->modelName)
            << " (items lists the functions with their codes)\n";
        return kExitUsage;
    }

    StreamMessageSink streamMessages(out, err, invocation.commandName);
    ProgressSlot progressShown;
    ProgressWipingSink messages(streamMessages, progressShown);
    std::unique_ptr<bench::VirtualBench> bench;
    session::WayChoice choice{invocation.port, nullptr};
    if (invocation.bench) {
        bench = std::make_unique<bench::VirtualBench>(bench::BenchTiming::Virtual);
        for (const std::string& fault : invocation.benchFaults) {
            const std::string refusal = bench->applyFault(fault);
            if (!refusal.empty()) {
                err << "velmora-jigctl: --bench-fault: " << refusal << "\n";
                return kExitUsage;
            }
        }
        if (invocation.benchEdidPath && !loadBenchEdid(*bench, *invocation.benchEdidPath, err)) return kExitUsage;
        // The bench monitor is the model's: its capabilities list the model's items.
        if (model) bench->monitor.capabilities = tools::capabilitiesOfModel(*model);
        choice = {invocation.benchPort == BenchPort::I2c ? std::optional<std::string>(session::kBenchChannelNode)
                                                         : std::nullopt,
                  bench.get()};
    }
    // Port accesses and pauses are counted on their way, for --stats. Either
    // link goes through the watch, which stops sending after Ctrl-C and tells
    // a bad reply from a refusal.
    platform::PlatformCounters counters;
    WatchedLink* watched = nullptr;
    session::WayOptions options;
    options.timing = invocation.ddcciFast ? link::kFastTiming : link::kDdcCiTiming;
    options.timing.waitScalePercent = invocation.waitScalePercent;
    options.lockWaitMs = invocation.waitForChannelMs;
    options.counters = &counters;
    options.wrapLink = [&watched](std::unique_ptr<link::MonitorLink> inner) -> std::unique_ptr<link::MonitorLink> {
        auto link = std::make_unique<WatchedLink>(std::move(inner));
        watched = link.get();
        return link;
    };
    session::OpenedWay way = session::openWayToMonitor(choice, messages, options);
    switch (way.refusal) {
    case session::DoorRefusal::None: break;
    case session::DoorRefusal::UnknownPort:
        err << "velmora-jigctl: --port: " << way.refusalText << "\n";
        return kExitUsage;
    case session::DoorRefusal::CannotOpen:
        err << "velmora-jigctl: --port: " << way.refusalText << "\n";
        return kExitOperationFailed;
    }
    if (!way.portTrouble.empty()) ProgramLineStream(err) << way.portTrouble << std::flush;
    const platform::I2cDevPort* channel = way.displayChannel;
    ProgramContext* program = way.program.get();
    // --read-only has refused every writing command already; the link's
    // protection is kept off for the others as well.
    program->flags.writeEnabled = invocation.readOnly ? 0 : 1;
    if (model) {
        program->model = *model;
        if (model->protocolReplyMode) program->link.setReplyMode(*model->protocolReplyMode);
        program->link.expectMonitors(model->monitorIdentities(), model->modelName);
    }
    if (invocation.anyMonitor) program->link.allowAnyMonitor();
    if (invocation.protocol) program->link.setReplyMode(*invocation.protocol);
    // Command packets of a model that replies as bus master cannot be had
    // through a display channel; the EEPROM reads can.
    if (channel && program->link.replyMode() == link::ReplyMode::SlaveReceive && invocation.command != Command::Edid) {
        err << "velmora-jigctl: " << invocation.commandName << ": " << link::kSlaveReceiveRefusal
            << " Use --port /dev/parportN with the interface board, or --protocol ddc2bi for a monitor that does"
               " answer in MasterRead mode.\n";
        return kExitOperationFailed;
    }

    Trace trace(program->link, outputs.diagnostic, invocation.trace);
    const CostMeter meter(program->link, counters, program->clock, invocation.bench);
    Session session{invocation, *program, messages, trace, out, err, outputs.json, outputs.diagnostic, progressShown};
    // From here Ctrl-C stops the monitor work in good order; load-mem first
    // reads its file, which may be a terminal's standard input.
    if (invocation.command != Command::LoadMem) catchInterrupt();
    int status = dispatch(session);
    trace.flush();
    // A command cut short by Ctrl-C says so (save-mem and load-mem have
    // said how far they came); one that finished all the same succeeded.
    if (interrupted() && status != kExitSuccess) {
        const bool transfer = invocation.command == Command::SaveMem || invocation.command == Command::LoadMem;
        if (!transfer) session.fail("interrupted; the requests sent before it stay done");
        status = kExitInterrupted;
    }
    // What the adapter said about the last failed transfer, with its remedy
    // (no monitor on the cable, a busy adapter), below the link's own words.
    // An EDID block past the first may simply not exist.
    const bool laterBlock = invocation.command == Command::Edid && !invocation.numbers.empty() && invocation.numbers[0] != 0;
    if (channel && status == kExitOperationFailed && channel->lastError() != 0 && !laterBlock) {
        outputs.diagnostic << "velmora-jigctl: on the display channel "
                           << platform::describeI2cFailure(channel->path(), channel->lastError()) << "\n";
    }
    if (watched != nullptr && status == kExitOperationFailed) outputs.linkError = watched->failureCode();
    if (invocation.stats) {
        const OperationCost cost = meter.cost();
        outputs.diagnostic << (invocation.json ? jsonLine(costJson(cost)) : costText(cost)) << "\n";
    }
    return status;
}

// The captured lines without the program's name, for the JSON document.
std::string withoutProgramName(const std::string& lines) {
    constexpr std::string_view prefix = "velmora-jigctl: ";
    std::string text;
    std::istringstream in(lines);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with(prefix)) line.erase(0, prefix.size());
        text += line + "\n";
    }
    return errorText(text);
}

}  // namespace

int runInvocation(const Invocation& invocation, std::ostream& out, std::ostream& err) {
    if (!invocation.json) {
        Outputs text{out, err, err, nullptr, std::nullopt};
        return runCommand(invocation, text);
    }
    // One document on standard output whatever happens: the result, or what
    // went wrong with the link's error code; the messages on standard
    // error all the same.
    std::ostringstream results;
    std::ostringstream messages;
    nlohmann::json document;
    Outputs outputs{results, messages, err, &document, std::nullopt};
    const int status = runCommand(invocation, outputs);
    err << messages.str();
    // detect's findings are the answer also when no monitor answered.
    // So are diff-mem's differences (exit status 1, as cmp gives it).
    const bool findings = (invocation.command == Command::Detect || invocation.command == Command::DiffMem) &&
                          document.is_object();
    if (status == kExitSuccess || findings) {
        out << jsonLine(document) << "\n";
        return status;
    }
    const std::string text = withoutProgramName(messages.str());
    out << jsonLine(errorJson(text.empty() ? "failed" : text, outputs.linkError)) << "\n";
    return status;
}

}  // namespace velmora::apps::jigctl
