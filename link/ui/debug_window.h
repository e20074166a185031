#pragma once
#include <QPlainTextEdit>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <string_view>

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
class CDebugWnd {
public:
    static constexpr int kEditId = 2000;
    static constexpr int kLineLimit = 2000;  // from here on each append drops the first line
    static constexpr int kDefaultTextLimit = 1'000'000;  // characters the edit holds at most
    static constexpr std::string_view kBanner = "Window for I2C Stream Debbuging\r\n";

    explicit CDebugWnd(int textLimit = kDefaultTextLimit);
    ~CDebugWnd();
    CDebugWnd(const CDebugWnd&) = delete;
    CDebugWnd& operator=(const CDebugWnd&) = delete;

    // Creates the window if it does not exist, shows it, brings it to the
    // top without moving it, and leaves only the banner in the edit.
    void openAndClear();

    [[nodiscard]] bool exists() const;

    // Adds a RUN's transcript at the end of the edit. When the edit already
    // holds kLineLimit lines or more (wrapped lines counted), its first line
    // goes first, together with its line break. Marks the text modified.
    // Text beyond the edit's limit is not shown. Nothing happens while the
    // window is closed.
    void appendTranscript(std::string_view transcript);

    // The window and its edit; nullptr while the window is closed.
    [[nodiscard]] QWidget* window() const;
    [[nodiscard]] QPlainTextEdit* edit() const;

    // Lines the edit holds as its user sees them, wrapped lines included.
    [[nodiscard]] int lineCount() const;

private:
    void createWindow();
    void insertAtEnd(const QString& text);
    void deleteFirstLine();

    QPointer<QWidget> window_;
    QPointer<QPlainTextEdit> edit_;
    int textLimit_;
};

}  // namespace velmora::link::ui
