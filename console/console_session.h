#pragma once
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "console/function_run.h"
#include "console/page_lists.h"
#include "console/value_adjustment.h"
#include "console/value_history.h"
#include "model/model_catalogue.h"
#include "model/model_folders.h"
#include "session/program_context.h"
#include "platform/message_sink.h"

namespace velmora::console {

inline constexpr std::array<std::string_view, kPageCount> kPageNames = {"Geometry", "Color", "Extra 1",
                                                                        "Extra 2"};
inline constexpr std::string_view kCompileErrorPrefix = "Label or Identifier Error :\n";
// Undo asked on a page that does not list the item last changed: the text
// names the page the change was made on.
[[nodiscard]] std::string undoElsewhereText(int page);

// "mdl files cannot be opened in %s" filled with the program directory.
[[nodiscard]] std::string noModelFilesText(std::string_view programDirectory);

// What the main window works on, without the window: the catalogue of the
// model files of the first folder that holds any (the program directory
// first), the model loaded from it, the two lists
// of the page shown, and the value and RUN operations on their entries.
// Every monitor exchange goes through the context's interpreter and link;
// messages go to the sink given (an empty caption: the program's name).
class ConsoleSession {
public:
    ConsoleSession(session::ProgramContext& context, model::ModelFolders modelFolders,
                   platform::MessageSink& messages);
    ConsoleSession(const ConsoleSession&) = delete;
    ConsoleSession& operator=(const ConsoleSession&) = delete;

    // Lists the model files of the first folder that holds any, once. With
    // none anywhere, says so (naming the program directory) in a box and
    // returns false; the catalogue stays empty.
    bool discoverModels();
    [[nodiscard]] const model::ModelCatalogue& catalogue() const { return catalogue_; }
    [[nodiscard]] const std::string& programDirectory() const { return folders_.programDirectory; }
    // The folder the catalogue was built from; empty before discovery or
    // when no folder holds a model.
    [[nodiscard]] const std::string& modelDirectory() const { return modelDirectory_; }

    // Compiles the catalogue row's file into the context's model. Compile
    // errors are shown in one box and cleared; the model is used all the
    // same, and nothing of the previous one is left to undo. Returns the
    // number of page tabs the model asks for (at most four), or nothing for
    // a row the catalogue does not have.
    std::optional<int> loadModel(std::size_t catalogueIndex);
    // The catalogue row whose file the compiled model came from: a file that
    // could not be read leaves the previous one. Nothing before the first
    // file was read.
    [[nodiscard]] std::optional<std::size_t> loadedCatalogueIndex() const { return loadedIndex_; }

    // Rebuilds both lists for page 0..3, reading every listed value (any
    // other page gives empty lists).
    void fillLists(int page);
    [[nodiscard]] const PageLists& lists() const { return lists_; }
    // The entry in a row, or nullptr for a row the list does not have.
    [[nodiscard]] ItemRecord* item(int row);
    [[nodiscard]] const FunctionRecord* function(int row) const;

    // Value operations on an item row; a row the list does not have is
    // left alone and false returned. Each change that reaches the monitor
    // is kept for undoing: a key step on its own, a scroll gesture (its
    // messages up to the end of scrolling) as one change.
    bool readItem(int row);
    bool scrollItem(int row, int code, int thumbPosition);
    bool stepItem(int row, StepKey key);

    // Ctrl+Z: writes the value the last changed item held before its last
    // change back, through the ordinary value path (as a release of the
    // scroll bar's thumb at that value). The change stays to be undone
    // when the write fails; the link has reported why. Asked on a page that
    // does not list the item, it names the page to open and writes nothing.
    enum class UndoOutcome { NothingToUndo, Undone, NotListed, NotWritten };
    struct UndoResult {
        UndoOutcome outcome = UndoOutcome::NothingToUndo;
        int row = -1;  // the item row written back (Undone, NotWritten)
    };
    UndoResult undoLastChange();
    [[nodiscard]] bool canUndo() const { return history_.lastChange().has_value(); }

    // "Restore values read at start": writes every item of the page changed
    // since the model was loaded back to the value it held before its first
    // change, in list order and on the same path as undo; each write back is
    // a change that Ctrl+Z undoes. Stops at the first write that fails.
    // Returns the number of items written back.
    std::size_t restoreStartValues();
    [[nodiscard]] bool pageHasChanges() const;

    // RUN of a function row; nothing (and no transcript) for a row the
    // list does not have. The outcome is shown through the display. A
    // function that succeeded may have changed values: with Auto Reading
    // on, the page's values are then read again as a page change reads
    // them, into the same entries (the selections may stay).
    std::optional<bool> runFunctionRow(int row, RunDisplay& display);

    [[nodiscard]] session::ProgramContext& context() { return context_; }

private:
    // A scroll gesture under way: the value before its first message, and
    // whether one of its writes reached the monitor.
    struct ScrollGesture {
        ItemKey item;
        std::int16_t before = 0;
        bool written = false;
    };

    void keepChange(ItemKey item, std::int16_t before, bool written, std::int16_t after);
    [[nodiscard]] int rowOf(ItemKey item) const;

    session::ProgramContext& context_;
    model::ModelFolders folders_;
    std::string modelDirectory_;
    platform::MessageSink& messages_;
    model::ModelCatalogue catalogue_;
    PageLists lists_;
    std::optional<std::size_t> loadedIndex_;
    int page_ = 0;
    ValueAdjuster adjuster_;
    ValueHistory history_;
    std::optional<ScrollGesture> scrollGesture_;
};

}  // namespace velmora::console
