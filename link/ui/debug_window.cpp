#include "link/ui/debug_window.h"

#include <QMenu>
#include <QPlainTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QVBoxLayout>
#include <QWidget>

#include "link/ui/block_times.h"
#include "platform/qt/application_icon.h"
#include "platform/qt/display_text.h"
#include "platform/replacing_file.h"

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
    edit->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(edit, &QWidget::customContextMenuRequested, edit,
                     [this](const QPoint& position) { showContextMenu(position); });

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
    markBlockStart(edit_->document()->firstBlock(), now_());
    insertAtEnd(platform::qt::displayText(kBanner));
}

void CDebugWnd::enableSaveAs(platform::FileChooser& chooser, platform::MessageSink& messages) {
    chooser_ = &chooser;
    messages_ = &messages;
}

void CDebugWnd::showContextMenu(const QPoint& position) {
    QMenu* menu = edit_->createStandardContextMenu(position);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    if (chooser_ != nullptr) {
        menu->addSeparator();
        menu->addAction(kSaveAsText, edit_, [this] { saveAs(); });
    }
    menu->popup(edit_->viewport()->mapToGlobal(position));
}

void CDebugWnd::saveAs() {
    if (!exists() || chooser_ == nullptr) {
        return;
    }
    const std::optional<std::string> path =
        chooser_->chooseOpenFile("Save As", std::string(kSaveAsInitialName), "txt");
    if (!path || !exists()) {
        return;
    }
    std::optional<platform::ReplacingFile> file = platform::ReplacingFile::create(*path);
    if (!file) {
        messages_->showMessage("Can't Open File : " + *path, platform::kErrorCaption);
        return;
    }
    const QByteArray text = textWithBlockTimes(*edit_->document()).toUtf8();
    if (!file->commit(std::string_view(text.constData(), static_cast<std::size_t>(text.size())))) {
        messages_->showMessage("Can't Write File : " + *path + " (" + file->failureReason() + ")",
                               platform::kErrorCaption);
    }
}

void CDebugWnd::appendTranscript(std::string_view transcript) {
    if (!exists()) {
        return;
    }
    if (lineCount() >= kLineLimit) {
        deleteFirstLine();
    }
    markBlockStart(edit_->document()->lastBlock(), now_());
    insertAtEnd(platform::qt::displayText(transcript));
    edit_->document()->setModified(true);
    edit_->ensureCursorVisible();
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
    if (visualLines(*edit_, first) > 1) {
        // A wrapped first line has no line break of its own: only its
        // characters go, and the rest of the paragraph moves up.
        QTextCursor cursor(edit_->document());
        cursor.setPosition(first.position());
        cursor.setPosition(first.position() + first.layout()->lineAt(0).textLength(),
                           QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    } else {
        removeFirstParagraph(*edit_->document());
    }
}

void CDebugWnd::insertAtEnd(const QString& text) {
    // characterCount() includes the document's closing paragraph mark.
    const int held = edit_->document()->characterCount() - 1;
    const int room = std::max(textLimit_ - held, 0);
    edit_->moveCursor(QTextCursor::End);
    edit_->insertPlainText(text.left(room));
}

}  // namespace velmora::link::ui
