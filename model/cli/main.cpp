// velmora-mdl: compiles model files the way the program does.
//   velmora-mdl check FILE.mdl...   errors and a summary line per file
//   velmora-mdl dump FILE.mdl       the compiled model as JSON
// Exit status: 0 clean, 1 compile errors, 2 a file could not be loaded.
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "model/cli/model_report.h"

namespace {

using velmora::link::ReplyMode;
using velmora::model::ModelDescription;

constexpr int kClean = 0;
constexpr int kCompileErrors = 1;
constexpr int kNotLoaded = 2;

int usage() {
    std::cerr << "usage: velmora-mdl check FILE.mdl...\n"
                 "       velmora-mdl dump FILE.mdl\n";
    return kNotLoaded;
}

int check(const std::vector<std::string>& files) {
    int status = kClean;
    for (const std::string& file : files) {
        auto model = std::make_unique<ModelDescription>();
        model->modelPath = file;
        if (!model->LoadModelFile()) {
            std::cerr << "velmora-mdl: cannot load " << file << ": " << model->lastLoadFailure() << "\n";
            status = kNotLoaded;
            continue;
        }
        if (model->errorFlag) {
            std::cout << file << ":\nLabel or Identifier Error :\n" << model->errorText;
            if (status == kClean) status = kCompileErrors;
        }
        std::cout << velmora::model::cli::summaryLine(file, *model) << "\n";
    }
    return status;
}

int dump(const std::string& file) {
    auto model = std::make_unique<ModelDescription>();
    model->modelPath = file;
    const int loaded = model->LoadModelFile();
    // A fresh process starts with the monitor replying as slave receiver.
    const ReplyMode mode = model->protocolReplyMode.value_or(ReplyMode::SlaveReceive);
    const auto json = velmora::model::cli::modelToJson(*model, loaded, mode);
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
    if (args.size() >= 2 && args[0] == "check") return check({args.begin() + 1, args.end()});
    if (args.size() == 2 && args[0] == "dump") return dump(args[1]);
    return usage();
}
