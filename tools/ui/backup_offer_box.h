#pragma once
#include <QPointer>

#include "session/program_context.h"
#include "platform/message_sink.h"
#include "tools/backup_gate.h"

class QProgressDialog;
class QWidget;

namespace velmora::tools::ui {

// The window's side of the backup before the first write: one question
// (Yes backs up, No writes without a backup; a box nobody can answer writes
// nothing), a progress bar while the pages are read, and a box when the
// backup failed.
class BackupOfferBox : public BackupAsker {
public:
    BackupOfferBox(QWidget* parent, platform::MessageSink& messages) : parent_(parent), messages_(messages) {}
    ~BackupOfferBox() override;
    BackupOfferBox(const BackupOfferBox&) = delete;
    BackupOfferBox& operator=(const BackupOfferBox&) = delete;

    BackupChoice offer(const BackupOffer& offer) override;
    void progress(int done, int total) override;
    void finished() override;
    void failed(std::string_view why) override;

private:
    QWidget* parent_;
    platform::MessageSink& messages_;
    QPointer<QProgressDialog> bar_;
};

// The check before a write from the window: true when the write may go
// ahead (see BackupGate::beforeWrite).
[[nodiscard]] bool windowBackupCheck(QWidget* parent, platform::MessageSink& messages, BackupGate& gate,
                                     session::ProgramContext& program);

}  // namespace velmora::tools::ui
