#include "tools/ui/backup_offer_box.h"

#include <QProgressDialog>

namespace velmora::tools::ui {

BackupOfferBox::~BackupOfferBox() { delete bar_.data(); }

BackupChoice BackupOfferBox::offer(const BackupOffer& offer) {
    // Enter backs up: the safe answer, and it costs only the seconds it names.
    switch (messages_.askYesNo(backupOfferText(offer), kBackupCaption, platform::DefaultButton::Yes)) {
    case platform::Answer::Yes: return BackupChoice::BackUp;
    case platform::Answer::No: return BackupChoice::WriteWithout;
    case platform::Answer::CannotAsk: break;
    }
    return BackupChoice::Cancel;
}

void BackupOfferBox::progress(int done, int total) {
    if (bar_.isNull()) {
        // Not modal: a modal progress dialog runs the event loop at every
        // value, which would let a click start a second monitor operation
        // in the middle of this one. It is repainted by hand instead.
        bar_ = new QProgressDialog(QStringLiteral("Backing up the EEPROM..."), QString(), 0, total, parent_);
        bar_->setWindowTitle(QString::fromLatin1(kBackupCaption));
        bar_->setWindowModality(Qt::NonModal);
        bar_->setMinimumDuration(0);
        bar_->setCancelButton(nullptr);
        bar_->show();
    }
    bar_->setValue(done);
    bar_->repaint();
}

void BackupOfferBox::finished() {
    delete bar_.data();
    bar_ = nullptr;
}

void BackupOfferBox::failed(std::string_view why) {
    messages_.showMessage(backupFailedText(why), platform::kErrorCaption);
}

bool windowBackupCheck(QWidget* parent, platform::MessageSink& messages, BackupGate& gate,
                       session::ProgramContext& program) {
    BackupOfferBox box(parent, messages);
    return gate.beforeWrite(program.interpreter, program.link, program.clock, program.model.modelName, box);
}

}  // namespace velmora::tools::ui
