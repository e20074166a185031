#include "platform/qt/qt_message_sink.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

#include <utility>

namespace velmora::platform::qt {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

QtMessageSink::QtMessageSink(QString programName) : programName_(std::move(programName)) {}

QString QtMessageSink::captionFor(std::string_view caption) const {
    return caption.empty() ? programName_ : fromUtf8(caption);
}

void QtMessageSink::showMessage(std::string_view text, std::string_view caption) {
    QMessageBox box(QApplication::activeWindow());
    configureMessageBox(box, fromUtf8(text), captionFor(caption));
    box.exec();
}

Answer QtMessageSink::askYesNo(std::string_view text, std::string_view caption, DefaultButton defaultButton) {
    QMessageBox box(QApplication::activeWindow());
    configureMessageBox(box, fromUtf8(text), captionFor(caption));
    box.setIcon(QMessageBox::Warning);
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(defaultButton == DefaultButton::Yes ? QMessageBox::Yes : QMessageBox::No);
    return box.exec() == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

void configureMessageBox(QMessageBox& box, const QString& text, const QString& caption) {
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
}

QString programNameFromPath(const QString& programPath) {
    return QFileInfo(programPath).completeBaseName();
}

}  // namespace velmora::platform::qt
