#include "platform/qt/qt_file_chooser.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>

namespace velmora::platform::qt {

void configureOpenFileDialog(QFileDialog& dialog, const QString& title, const QString& initialName,
                             const QString& defaultExtension) {
    dialog.setWindowTitle(title);
    // Qt's own dialog behaves the same on every desktop and under test.
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultExtension);
    if (initialName.contains(QLatin1Char('*')) || initialName.contains(QLatin1Char('?'))) {
        dialog.setNameFilter(initialName);
    } else if (!initialName.isEmpty()) {
        dialog.selectFile(initialName);
    }
}

std::optional<std::string> QtFileChooser::chooseOpenFile(const std::string& title,
                                                         const std::string& initialName,
                                                         const std::string& defaultExtension) {
    QFileDialog dialog(QApplication::activeWindow());
    configureOpenFileDialog(dialog, QString::fromStdString(title),
                            QString::fromStdString(initialName),
                            QString::fromStdString(defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return std::nullopt;
    }
    // The logic layer opens files with the standard library: hand it the
    // path in the file system's own encoding.
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
}

}  // namespace velmora::platform::qt
