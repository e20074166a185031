// velmora-mdl: compiles model files the way the program does, for the
// people who write them. See --help.
// Results go to standard output, every error, warning and refusal to
// standard error. Exit status: 0 clean (warnings alone too, unless
// --werror), 1 compile errors, 2 bad usage or a file that could not be
// loaded.
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apps/velmora-mdl/from_capabilities.h"
#include "apps/velmora-mdl/model_listing.h"
#include "apps/velmora-mdl/model_report.h"
#include "model/model_warnings.h"
#include "platform/files.h"

namespace {

using velmora::link::ReplyMode;
using velmora::model::ModelDescription;
namespace cli = velmora::apps::mdl;

constexpr int kClean = 0;
constexpr int kCompileErrors = 1;
constexpr int kNotLoaded = 2;
constexpr const char* kProgram = "velmora-mdl";
constexpr const char* kStandardInput = "-";

const char* const kHelp =
    "usage: velmora-mdl [OPTIONS] COMMAND FILE.mdl...\n"
    "\n"
    "Compiles Velmora monitor model files exactly as the console does, for the\n"
    "people who write them. A FILE of - is read from standard input.\n"
    "\n"
    "Commands:\n"
    "  check FILE.mdl...     compile each file: its errors and warnings as\n"
    "                        FILE:LINE: error: TEXT on standard error, then a summary\n"
    "                        line (name, pages, timings) on standard output\n"
    "  list FILE.mdl         print the assembler listing: each line's address and\n"
    "                        bytes, the symbols, the chunk directory and the items\n"
    "  dump FILE.mdl         print the compiled model as one JSON object\n"
    "  from-capabilities FILE [--output MODEL.mdl]  make a model from a monitor's\n"
    "                        DDC/CI capabilities string (FILE, or - for standard\n"
    "                        input): its standard features as items and functions,\n"
    "                        a starting point for the model's author; the string's\n"
    "                        flaws are warnings, binary data is refused\n"
    "\n"
    "Options:\n"
    "  --werror              check: warnings fail the check as errors do\n"
    "  --all-warnings        check: also warn about labels that are never used\n"
    "  --json                list: the listing as one JSON object\n"
    "  --output FILE, -o FILE  from-capabilities: write the model there, not to\n"
    "                        standard output\n"
    "  --help                this text\n"
    "  --version             the program's version\n"
    "\n"
    "While a file has errors, the warnings found by reading its image are held\n"
    "back: they may only follow from the errors.\n"
    "\n"
    "Exit status: 0 clean (warnings alone too, unless --werror), 1 compile errors\n"
    "(or warnings with --werror), 2 bad usage or a file that cannot be loaded.\n";

// A refusal of the command line, as every failure is told:
// "velmora-mdl: WHAT: WHY".
int refuse(const std::string& what, const std::string& why) {
    std::cerr << kProgram << ": " << what << ": " << why << " (see velmora-mdl --help)\n";
    return kNotLoaded;
}

struct Invocation {
    std::string command;
    bool warningsAreErrors = false;
    bool json = false;
    velmora::model::WarningOptions warnings;
    std::vector<std::string> files;
    std::optional<std::string> output;  // from-capabilities -o
};

// A compiled file with its source text and the name its reports carry.
struct LoadedModel {
    std::unique_ptr<ModelDescription> model;
    std::string source;
    std::string shownName;
};

// Reads and compiles one file (or standard input); says why on standard
// error when it cannot.
std::optional<LoadedModel> load(const std::string& file) {
    LoadedModel loaded{std::make_unique<ModelDescription>(), {}, file};
    if (file == kStandardInput) {
        loaded.shownName = "<stdin>";
        loaded.source.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
        if (loaded.source.empty()) {
            std::cerr << kProgram << ": standard input: nothing to compile\n";
            return std::nullopt;
        }
        loaded.model->compileText(loaded.source);
        return loaded;
    }
    loaded.model->modelPath = file;
    if (!loaded.model->loadModelFile()) {
        std::cerr << kProgram << ": " << loaded.model->lastLoadFailure() << "\n";
        return std::nullopt;
    }
    // The listing shows the lines beside their bytes.
    const velmora::platform::FileRead source = velmora::platform::readWholeFile(file);
    if (source.ok) loaded.source = source.bytes;
    return loaded;
}

// Prints a file's errors and warnings on standard error; true when any of
// them fails the file. While the file has errors, the warnings that read
// the image are counted, not listed: a missing byte early in a file moves
// every later one, and the warnings would describe that, not the file.
bool printReports(const LoadedModel& loaded, const Invocation& invocation) {
    const ModelDescription& model = *loaded.model;
    const std::string& file = loaded.shownName;
    const auto& trace = model.compileTrace();
    for (const auto& report : trace.diagnostics()) {
        std::cerr << cli::diagnosticLine(file, report.line, report.column, "error", report.text) << "\n";
    }
    if (trace.droppedDiagnostics() > 0) {
        std::cerr << cli::diagnosticLine(file, 0, 0, "error",
                                         std::to_string(trace.droppedDiagnostics()) + " further errors are not listed")
                  << "\n";
    }
    std::size_t listed = 0;
    std::size_t heldBack = 0;
    for (const auto& warning : velmora::model::findWarnings(model, invocation.warnings)) {
        if (model.errorFlag && warning.mayFollowFromErrors) {
            ++heldBack;
            continue;
        }
        std::cerr << cli::diagnosticLine(file, warning.line, 0, "warning", warning.text) << "\n";
        ++listed;
    }
    if (heldBack > 0) {
        std::cerr << cli::diagnosticLine(file, 0, 0, "note",
                                         std::to_string(heldBack) +
                                             (heldBack == 1 ? " warning is" : " warnings are") +
                                             " held back until the errors are fixed")
                  << "\n";
    }
    return model.errorFlag || (invocation.warningsAreErrors && listed > 0);
}

int check(const Invocation& invocation) {
    int status = kClean;
    for (const std::string& file : invocation.files) {
        const std::optional<LoadedModel> loaded = load(file);
        if (!loaded) {
            status = kNotLoaded;
            continue;
        }
        if (printReports(*loaded, invocation) && status == kClean) status = kCompileErrors;
        std::cout << cli::summaryLine(loaded->shownName, *loaded->model) << "\n";
    }
    return status;
}

int list(const Invocation& invocation) {
    const std::optional<LoadedModel> loaded = load(invocation.files.front());
    if (!loaded) return kNotLoaded;
    printReports(*loaded, invocation);
    if (invocation.json) {
        std::cout << cli::listingToJson(*loaded->model, loaded->source)
                         .dump(2, ' ', false, nlohmann::json::error_handler_t::replace)
                  << "\n";
    } else {
        std::cout << cli::listingText(*loaded->model, loaded->source);
    }
    return loaded->model->errorFlag ? kCompileErrors : kClean;
}

int dump(const Invocation& invocation) {
    const std::optional<LoadedModel> loaded = load(invocation.files.front());
    if (!loaded) return kNotLoaded;
    printReports(*loaded, invocation);
    // A fresh process starts with the monitor replying as slave receiver.
    const ReplyMode mode = loaded->model->protocolReplyMode.value_or(ReplyMode::SlaveReceive);
    std::cout << cli::modelToJson(*loaded->model, 1, mode).dump(2, ' ', false,
                                                                nlohmann::json::error_handler_t::replace)
              << "\n";
    return loaded->model->errorFlag ? kCompileErrors : kClean;
}

// The options each command takes, for the refusal of another.
std::string optionsOf(const std::string& command) {
    if (command == "check") return "--werror, --all-warnings";
    if (command == "list") return "--json";
    if (command == "from-capabilities") return "--output";
    return "none";
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    Invocation invocation;
    std::vector<std::string> options;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && (arg == "-o" || arg == "--output")) {
            if (i + 1 == args.size()) return refuse(arg, "needs the model file to write");
            invocation.output = args[++i];
        } else if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && (arg == "--help" || arg == "-h")) {
            std::cout << kHelp;
            return kClean;
        } else if (!optionsEnded && arg == "--version") {
            std::cout << kProgram << " " << VELMORA_VERSION << "\n";
            return kClean;
        } else if (!optionsEnded && arg.size() > 1 && arg.front() == '-') {
            options.push_back(arg);
        } else if (invocation.command.empty()) {
            invocation.command = arg;
        } else {
            invocation.files.push_back(arg);
        }
    }
    const std::string& command = invocation.command;
    if (command.empty()) return refuse("no command", "give check, list, dump or from-capabilities");
    if (command != "check" && command != "list" && command != "dump" && command != "from-capabilities") {
        return refuse(command, "unknown command (valid: check, list, dump, from-capabilities)");
    }
    if (invocation.output && command != "from-capabilities") {
        return refuse("--output", "not an option of " + command + " (valid: " + optionsOf(command) + ")");
    }
    for (const std::string& option : options) {
        if (command == "check" && option == "--werror") {
            invocation.warningsAreErrors = true;
        } else if (command == "check" && option == "--all-warnings") {
            invocation.warnings.unusedLabels = true;
        } else if (command == "list" && option == "--json") {
            invocation.json = true;
        } else {
            return refuse(option, "not an option of " + command + " (valid: " + optionsOf(command) + ")");
        }
    }
    if (invocation.files.empty()) return refuse(command, "no model file given");
    if (command == "check") return check(invocation);
    if (command == "from-capabilities") {
        if (invocation.files.size() > 1) return refuse(command, "takes one capabilities file");
        return cli::fromCapabilities(invocation.files.front(), invocation.output, std::cout, std::cerr);
    }
    if (invocation.files.size() > 1) {
        return refuse(command, "takes one model file (" + std::to_string(invocation.files.size()) + " given)");
    }
    return command == "list" ? list(invocation) : dump(invocation);
}
