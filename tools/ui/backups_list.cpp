#include "tools/ui/backups_list.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora::tools::ui {

BackupsList::BackupsList(const std::string& root, QWidget* parent)
    : QDialog(parent), files_(listBackupFiles(root)), list_(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Backups"));
    auto* layout = new QVBoxLayout(this);
    const QString where = QString::fromStdString(root.empty() ? std::string("(no folder for backups)") : root);
    layout->addWidget(new QLabel(files_.empty() ? QStringLiteral("No backups in ") + where : where, this));
    for (const BackupFile& file : files_) list_->addItem(QString::fromStdString(file.text));
    if (!files_.empty()) list_->setCurrentRow(0);
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Open)->setEnabled(!files_.empty());
    QPushButton* compare = buttons->addButton(QStringLiteral("Compare with Monitor"), QDialogButtonBox::ActionRole);
    compare->setObjectName(QStringLiteral("compare"));
    compare->setEnabled(!files_.empty());
    connect(compare, &QPushButton::clicked, this, [this] {
        compare_ = true;
        accept();
    });
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    resize(520, 320);
}

std::optional<std::string> BackupsList::chosen() const {
    const int row = list_->currentRow();
    if (row < 0 || static_cast<std::size_t>(row) >= files_.size()) return std::nullopt;
    return files_[static_cast<std::size_t>(row)].path;
}

std::optional<BackupsList::Choice> BackupsList::choose(QWidget* parent, const std::string& root) {
    BackupsList dialog(root, parent);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    const auto path = dialog.chosen();
    if (!path) return std::nullopt;
    return Choice{*path, dialog.compare_};
}

}  // namespace velmora::tools::ui
