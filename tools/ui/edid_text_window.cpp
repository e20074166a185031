#include "tools/ui/edid_text_window.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "platform/qt/display_text.h"
#include "tools/edid_decoding_text.h"

namespace velmora::tools::ui {

namespace {
// Wide enough for the longest decoded line without wrapping, tall enough
// for the identity, the parameters and the first timings.
constexpr int kColumns = 96;
constexpr int kLines = 34;
}  // namespace

EdidTextWindow::EdidTextWindow(const std::string& text, platform::FileChooser& chooser, QWidget* parent)
    : QDialog(parent), chooser_(chooser) {
    setWindowTitle(QStringLiteral("EDID"));
    // The fixed-pitch font of the window it is opened from, so that the
    // columns of the timings line up.
    if (parent != nullptr) setFont(parent->font());
    text_ = new QPlainTextEdit(this);
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    text_->setPlainText(platform::qt::displayText(text));
    openFile_ = new QPushButton(QStringLiteral("Open File..."), this);
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    close->setDefault(true);
    connect(openFile_, &QPushButton::clicked, this, &EdidTextWindow::onOpenFile);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(openFile_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text_);
    layout->addLayout(buttons);
    const QFontMetrics metrics(text_->font());
    resize(metrics.horizontalAdvance(QLatin1Char('0')) * kColumns, metrics.lineSpacing() * kLines);
}

void EdidTextWindow::run(QWidget* parent, const std::string& text, platform::FileChooser& chooser) {
    EdidTextWindow window(text, chooser, parent);
    window.exec();
}

QString EdidTextWindow::shownText() const { return text_->toPlainText(); }

void EdidTextWindow::onOpenFile() {
    const auto path = chooser_.chooseOpenFile("Open EDID File", "", "bin");
    if (!path) return;
    text_->setPlainText(platform::qt::displayText(decodedFileText(*path)));
}

}  // namespace velmora::tools::ui
