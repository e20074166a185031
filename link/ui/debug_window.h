#pragma once
#include <QDateTime>
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>
#include <string_view>
#include <utility>

#include "platform/file_chooser.h"
#include "platform/message_sink.h"

namespace velmora::link::ui {

// The I2C DEBUGGER: a top-level window whose only child is a multi-line edit
// (id 2000) that shows the link transcripts of the RUNs made while it is
// open. One CDebugWnd object lives for the whole program; its window is
// created on demand, and closing it destroys the window, never the object,
// so it can be opened again any number of times.
//
// Line breaks: the transcript ends its lines with CR LF. Each CR LF pair
// becomes one line break of the edit (a paragraph in Qt's text document);
// a lone CR or a lone LF also breaks the line. The edit thus holds no CR
// characters and counts one line per visual line, as the user sees it.
//
// The window takes the keyboard and the mouse whenever the console does:
// the console must not block it (see ConsoleApp). Its edit's context menu
// adds "Save As…" to the edit's own entries: the text goes to a file with
// the time each block (the banner, each RUN) arrived on a line before it.
class CDebugWnd {
public:
    static constexpr int kEditId = 2000;
    static constexpr int kLineLimit = 2000;  // from here on each append drops the first line
    static constexpr int kDefaultTextLimit = 1'000'000;  // characters the edit holds at most
    static constexpr std::string_view kBanner = "Window for I2C Stream Debbuging\r\n";
    static inline const QString kSaveAsText = QStringLiteral("Save As…");
    static constexpr std::string_view kSaveAsInitialName = "i2c-debugger.txt";

    explicit CDebugWnd(int textLimit = kDefaultTextLimit);
    ~CDebugWnd();
    CDebugWnd(const CDebugWnd&) = delete;
    CDebugWnd& operator=(const CDebugWnd&) = delete;

    // Creates the window if it does not exist, shows it, brings it to the
    // top without moving it, and leaves only the banner in the edit.
    void openAndClear();

    [[nodiscard]] bool exists() const;

    // Offers "Save As…": the file name is asked of `chooser`, failures are
    // shown through `messages`. Both must outlive this object.
    void enableSaveAs(platform::FileChooser& chooser, platform::MessageSink& messages);
    // Where the blocks' times come from (the wall clock unless set).
    void setClock(std::function<QDateTime()> now) { now_ = std::move(now); }

    // Adds a RUN's transcript at the end of the edit. When the edit already
    // holds kLineLimit lines or more (wrapped lines counted), its first line
    // goes first, together with its line break. Marks the text modified and
    // leaves the caret at the very end, in view. Text beyond the edit's
    // limit is not shown. Nothing happens while the window is closed.
    void appendTranscript(std::string_view transcript);

    // "Save As…": asks for a file name and writes the text with the blocks'
    // times (see block_times.h); a file that cannot be written is reported
    // and left as it was. Nothing while the window is closed or saving is
    // not enabled.
    void saveAs();

    // The window and its edit; nullptr while the window is closed.
    [[nodiscard]] QWidget* window() const;
    [[nodiscard]] QPlainTextEdit* edit() const;

    // Lines the edit holds as its user sees them, wrapped lines included.
    [[nodiscard]] int lineCount() const;

private:
    void createWindow();
    void showContextMenu(const QPoint& position);
    void insertAtEnd(const QString& text);
    void deleteFirstLine();

    QPointer<QWidget> window_;
    QPointer<QPlainTextEdit> edit_;
    int textLimit_;
    platform::FileChooser* chooser_ = nullptr;
    platform::MessageSink* messages_ = nullptr;
    std::function<QDateTime()> now_ = [] { return QDateTime::currentDateTime(); };
};

}  // namespace velmora::link::ui
