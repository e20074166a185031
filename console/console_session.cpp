#include "console/console_session.h"

#include <algorithm>
#include <utility>

namespace velmora::console {

std::string noModelFilesText(std::string_view programDirectory) {
    return "mdl files cannot be opened in " + std::string(programDirectory);
}

ConsoleSession::ConsoleSession(model::ProgramContext& context, model::ModelFolders modelFolders,
                               platform::MessageSink& messages)
    : context_(context),
      folders_(std::move(modelFolders)),
      messages_(messages),
      adjuster_(context.interpreter, context.platform.clock) {}

bool ConsoleSession::discoverModels() {
    modelDirectory_ = model::firstFolderWithModels(folders_).value_or(std::string());
    if (!modelDirectory_.empty()) catalogue_.discover(modelDirectory_);
    if (catalogue_.empty()) {
        modelDirectory_.clear();
        messages_.showMessage(noModelFilesText(folders_.programDirectory), "");
        return false;
    }
    return true;
}

std::optional<int> ConsoleSession::loadModel(std::size_t catalogueIndex) {
    if (catalogueIndex >= catalogue_.fileNames().size()) return std::nullopt;
    model::ModelDescription& model = context_.model;
    const std::string path = modelDirectory_ + catalogue_.fileNames()[catalogueIndex];
    if (context_.loadModel(path) == 0) {
        // A file that vanished or emptied since the catalogue was built is
        // not compiled; say so rather than show the previous model as this one.
        messages_.showMessage(model.lastLoadFailure(), platform::kErrorCaption);
    } else {
        loadedIndex_ = catalogueIndex;
    }
    if (model.errorFlag) {
        messages_.showMessage(std::string(kCompileErrorPrefix) + model.errorText, platform::kErrorCaption);
        model.errorFlag = false;
        model.errorText.clear();
    }
    return std::clamp(model.pageCount(), 0, kPageCount);
}

void ConsoleSession::fillLists(int page) {
    lists_ = buildPageLists(page, context_.model, context_.interpreter, context_.link);
}

ItemRecord* ConsoleSession::item(int row) {
    if (row < 0 || static_cast<std::size_t>(row) >= lists_.items.size()) return nullptr;
    return &lists_.items[static_cast<std::size_t>(row)];
}

const FunctionRecord* ConsoleSession::function(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= lists_.functions.size()) return nullptr;
    return &lists_.functions[static_cast<std::size_t>(row)];
}

bool ConsoleSession::readItem(int row) {
    ItemRecord* record = item(row);
    if (record == nullptr) return false;
    adjuster_.readItem(*record);
    return true;
}

bool ConsoleSession::scrollItem(int row, int code, int thumbPosition) {
    ItemRecord* record = item(row);
    if (record == nullptr) return false;
    adjuster_.scroll(*record, code, thumbPosition);
    return true;
}

bool ConsoleSession::stepItem(int row, StepKey key) {
    ItemRecord* record = item(row);
    if (record == nullptr) return false;
    adjuster_.step(*record, key);
    return true;
}

std::optional<bool> ConsoleSession::runFunctionRow(int row, RunDisplay& display) {
    const FunctionRecord* record = function(row);
    if (record == nullptr) return std::nullopt;
    return runFunction(*record, context_.interpreter, context_.link, context_.platform.clock, display);
}

}  // namespace velmora::console
