#include "link/ui/debug_window.h"

#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QVBoxLayout>
#include <QWidget>

#include "platform/qt/application_icon.h"
#include "platform/qt/display_text.h"

namespace velmora::link::ui {
namespace {

const QSize kInitialSize(640, 420);

// Lines of one block as laid out at the edit's present width.
int visualLines(const QPlainTextEdit& edit, const QTextBlock& block) {
    if (auto* layout = qobject_cast<QPlainTextDocumentLayout*>(edit.document()->documentLayout())) {
        // The edit lays blocks out lazily, when they are painted; the count
        // must include blocks that were never on screen.
        layout->ensureBlockLayout(block);
    }
    return std::max(block.layout()->lineCount(), 1);
}

}  // namespace

CDebugWnd::CDebugWnd(int textLimit) : textLimit_(std::max(textLimit, 0)) {}

CDebugWnd::~CDebugWnd() {
    delete window_.data();
}

bool CDebugWnd::exists() const {
    return !window_.isNull();
}

QWidget* CDebugWnd::window() const {
    return window_.data();
}

QPlainTextEdit* CDebugWnd::edit() const {
    return edit_.data();
}

void CDebugWnd::createWindow() {
    auto* window = new QWidget(nullptr, Qt::Window);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowTitle(QStringLiteral("I2C DEBUGGER"));
    window->setWindowIcon(platform::qt::applicationIcon());
    window->resize(kInitialSize);

    auto* edit = new QPlainTextEdit(window);
    edit->setObjectName(QString::number(kEditId));
    edit->setReadOnly(false);
    edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // The edit covers the whole client area and follows every resize.
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(edit);

    window_ = window;
    edit_ = edit;
}

void CDebugWnd::openAndClear() {
    if (!exists()) {
        createWindow();
    }
    window_->show();
    window_->raise();
    edit_->selectAll();
    edit_->textCursor().removeSelectedText();
    insertAtEnd(platform::qt::displayText(kBanner));
}

void CDebugWnd::appendTranscript(std::string_view transcript) {
    if (!exists()) {
        return;
    }
    if (lineCount() >= kLineLimit) {
        deleteFirstLine();
    }
    insertAtEnd(platform::qt::displayText(transcript));
    edit_->document()->setModified(true);
}

int CDebugWnd::lineCount() const {
    if (!exists()) {
        return 0;
    }
    int lines = 0;
    for (QTextBlock block = edit_->document()->firstBlock(); block.isValid(); block = block.next()) {
        lines += visualLines(*edit_, block);
    }
    return lines;
}

void CDebugWnd::deleteFirstLine() {
    const QTextBlock first = edit_->document()->firstBlock();
    QTextCursor cursor(edit_->document());
    cursor.setPosition(first.position());
    if (visualLines(*edit_, first) > 1) {
        // A wrapped first line has no line break of its own: only its
        // characters go, and the rest of the paragraph moves up.
        cursor.setPosition(first.position() + first.layout()->lineAt(0).textLength(),
                           QTextCursor::KeepAnchor);
    } else if (first.next().isValid()) {
        cursor.setPosition(first.next().position(), QTextCursor::KeepAnchor);
    } else {
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
}

void CDebugWnd::insertAtEnd(const QString& text) {
    // characterCount() includes the document's closing paragraph mark.
    const int held = edit_->document()->characterCount() - 1;
    const int room = std::max(textLimit_ - held, 0);
    edit_->moveCursor(QTextCursor::End);
    edit_->insertPlainText(text.left(room));
}

}  // namespace velmora::link::ui
