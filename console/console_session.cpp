#include "console/console_session.h"

#include <algorithm>
#include <utility>

namespace velmora::console {

namespace {

ItemKey keyOf(const ItemRecord& record) { return {record.kind, record.code}; }

}  // namespace

std::string noModelFilesText(std::string_view programDirectory) {
    return "mdl files cannot be opened in " + std::string(programDirectory);
}

std::string undoElsewhereText(int page) {
    const std::string_view name = page >= 0 && page < kPageCount ? kPageNames[static_cast<std::size_t>(page)] : "";
    return "The last change was made on the page \"" + std::string(name) + "\": open it to undo the change.";
}

ConsoleSession::ConsoleSession(session::ProgramContext& context, model::ModelFolders modelFolders,
                               platform::MessageSink& messages)
    : context_(context),
      folders_(std::move(modelFolders)),
      messages_(messages),
      adjuster_(context.interpreter, context.clock) {}

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
    history_.clear();
    scrollGesture_.reset();
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
    page_ = page;
    scrollGesture_.reset();
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
    if (!scrollGesture_ || scrollGesture_->item != keyOf(*record)) {
        scrollGesture_ = ScrollGesture{keyOf(*record), record->current, false};
    }
    if (adjuster_.scroll(*record, code, thumbPosition)) scrollGesture_->written = true;
    if (code == static_cast<int>(ScrollCode::EndScroll)) {
        keepChange(scrollGesture_->item, scrollGesture_->before, scrollGesture_->written, record->current);
        scrollGesture_.reset();
    }
    return true;
}

bool ConsoleSession::stepItem(int row, StepKey key) {
    ItemRecord* record = item(row);
    if (record == nullptr) return false;
    const std::int16_t before = record->current;
    const bool written = adjuster_.step(*record, key);
    keepChange(keyOf(*record), before, written, record->current);
    return true;
}

void ConsoleSession::keepChange(ItemKey item, std::int16_t before, bool written, std::int16_t after) {
    // A refused or failed write changed nothing on the monitor, and a value
    // that ends where it began is no change to undo.
    if (written && after != before) (void)history_.recordChange(item, before, page_);
}

int ConsoleSession::rowOf(ItemKey key) const {
    for (std::size_t row = 0; row < lists_.items.size(); ++row) {
        if (keyOf(lists_.items[row]) == key) return static_cast<int>(row);
    }
    return -1;
}

ConsoleSession::UndoResult ConsoleSession::undoLastChange() {
    const std::optional<ValueHistory::Change> change = history_.lastChange();
    if (!change) return {};
    const int row = rowOf(change->item);
    if (row < 0) {
        messages_.showMessage(undoElsewhereText(change->page), "");
        return {UndoOutcome::NotListed, -1};
    }
    scrollGesture_.reset();
    if (!adjuster_.setValue(lists_.items[static_cast<std::size_t>(row)], change->previous)) {
        return {UndoOutcome::NotWritten, row};
    }
    history_.dropLastChange();
    return {UndoOutcome::Undone, row};
}

std::size_t ConsoleSession::restoreStartValues() {
    scrollGesture_.reset();
    std::size_t restored = 0;
    for (ItemRecord& record : lists_.items) {
        const std::optional<std::int16_t> start = history_.startValue(keyOf(record));
        if (!start) continue;
        const std::int16_t before = record.current;
        // The link has reported the failure; the items after it keep their
        // values rather than meet the same failure one by one.
        if (!adjuster_.setValue(record, *start)) break;
        keepChange(keyOf(record), before, true, record.current);
        ++restored;
    }
    return restored;
}

bool ConsoleSession::pageHasChanges() const {
    return std::any_of(lists_.items.begin(), lists_.items.end(),
                       [this](const ItemRecord& record) { return history_.startValue(keyOf(record)).has_value(); });
}

std::optional<bool> ConsoleSession::runFunctionRow(int row, RunDisplay& display) {
    const FunctionRecord* record = function(row);
    if (record == nullptr) return std::nullopt;
    const bool succeeded =
        runFunction(*record, context_.interpreter, context_.link, context_.clock, display);
    if (succeeded && context_.autoReading != 0) fillLists(page_);
    return succeeded;
}

}  // namespace velmora::console
