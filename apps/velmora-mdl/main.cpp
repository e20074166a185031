// velmora-mdl: compiles model files the way the program does.
//   velmora-mdl check [--werror] [--all-warnings] FILE.mdl...
//                                   errors and warnings with their lines,
//                                   then a summary line per file
//   velmora-mdl list [--json] FILE.mdl
//                                   the assembler listing, symbols, chunks, items
//   velmora-mdl dump FILE.mdl       the compiled model as JSON
// Exit status: 0 clean (warnings alone too, unless --werror), 1 compile
// errors, 2 a file could not be loaded.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

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

int usage() {
    std::cerr << "usage: velmora-mdl check [--werror] [--all-warnings] FILE.mdl...\n"
                 "       velmora-mdl list [--json] FILE.mdl\n"
                 "       velmora-mdl dump FILE.mdl\n";
    return kNotLoaded;
}

struct CheckOptions {
    bool warningsAreErrors = false;
    velmora::model::WarningOptions warnings;
    std::vector<std::string> files;
};

// Prints a file's errors and warnings; true when any of them fails the check.
bool printReports(const std::string& file, const ModelDescription& model, const CheckOptions& options) {
    const auto& trace = model.compileTrace();
    for (const auto& report : trace.diagnostics()) {
        std::cout << cli::diagnosticLine(file, report.line, report.column, "error", report.text) << "\n";
    }
    if (trace.droppedDiagnostics() > 0) {
        std::cout << cli::diagnosticLine(file, 0, 0, "error",
                                         std::to_string(trace.droppedDiagnostics()) + " further errors are not listed")
                  << "\n";
    }
    const auto warnings = velmora::model::findWarnings(model, options.warnings);
    for (const auto& warning : warnings) {
        std::cout << cli::diagnosticLine(file, warning.line, 0, "warning", warning.text) << "\n";
    }
    return model.errorFlag || (options.warningsAreErrors && !warnings.empty());
}

int check(const CheckOptions& options) {
    int status = kClean;
    for (const std::string& file : options.files) {
        auto model = std::make_unique<ModelDescription>();
        model->modelPath = file;
        if (!model->LoadModelFile()) {
            std::cerr << "velmora-mdl: cannot load " << file << ": " << model->lastLoadFailure() << "\n";
            status = kNotLoaded;
            continue;
        }
        if (printReports(file, *model, options) && status == kClean) status = kCompileErrors;
        std::cout << cli::summaryLine(file, *model) << "\n";
    }
    return status;
}

int list(const std::string& file, bool json) {
    const velmora::platform::FileRead source = velmora::platform::readWholeFile(file);
    auto model = std::make_unique<ModelDescription>();
    model->modelPath = file;
    if (!source.ok || !model->LoadModelFile()) {
        std::cerr << "velmora-mdl: cannot load " << file << ": "
                  << (source.ok ? model->lastLoadFailure() : source.failure) << "\n";
        return kNotLoaded;
    }
    if (json) {
        std::cout << cli::listingToJson(*model, source.bytes).dump(2, ' ', false,
                                                                   nlohmann::json::error_handler_t::replace)
                  << "\n";
    } else {
        std::cout << cli::listingText(*model, source.bytes);
    }
    return model->errorFlag ? kCompileErrors : kClean;
}

int dump(const std::string& file) {
    auto model = std::make_unique<ModelDescription>();
    model->modelPath = file;
    const int loaded = model->LoadModelFile();
    // A fresh process starts with the monitor replying as slave receiver.
    const ReplyMode mode = model->protocolReplyMode.value_or(ReplyMode::SlaveReceive);
    const auto json = cli::modelToJson(*model, loaded, mode);
    std::cout << json.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
    if (!loaded) {
        std::cerr << "velmora-mdl: cannot load " << file << ": " << model->lastLoadFailure() << "\n";
        return kNotLoaded;
    }
    return model->errorFlag ? kCompileErrors : kClean;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty()) return usage();
    if (args[0] == "check") {
        CheckOptions options;
        for (std::size_t i = 1; i < args.size(); ++i) {
            if (args[i] == "--werror") {
                options.warningsAreErrors = true;
            } else if (args[i] == "--all-warnings") {
                options.warnings.unusedLabels = true;
            } else if (args[i].starts_with("--")) {
                std::cerr << "velmora-mdl: unknown option " << args[i] << " (valid: --werror, --all-warnings)\n";
                return usage();
            } else {
                options.files.push_back(args[i]);
            }
        }
        return options.files.empty() ? usage() : check(options);
    }
    if (args[0] == "list") {
        const bool json = args.size() == 3 && args[1] == "--json";
        if (args.size() == 2 && !args[1].starts_with("--")) return list(args[1], false);
        if (json) return list(args[2], true);
        return usage();
    }
    if (args.size() == 2 && args[0] == "dump") return dump(args[1]);
    return usage();
}
