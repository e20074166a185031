#pragma once
#include <QString>

#include "platform/message_sink.h"

class QMessageBox;

namespace velmora::platform::qt {

// Shows each message in a modal box with one OK button and no icon, over
// the active window. A message without caption of its own carries the
// program's name, which the program gives once when it builds the sink.
class QtMessageSink : public MessageSink {
public:
    explicit QtMessageSink(QString programName);

    void showMessage(std::string_view text, std::string_view caption) override;
    Answer askYesNo(std::string_view text, std::string_view caption, DefaultButton defaultButton) override;

    [[nodiscard]] const QString& programName() const { return programName_; }

    // The caption a box gets for the given caption text.
    [[nodiscard]] QString captionFor(std::string_view caption) const;

private:
    QString programName_;
};

// Sets up a box as showMessage shows it: plain text (a file name with "<"
// in it is not taken for markup), one OK button.
void configureMessageBox(QMessageBox& box, const QString& text, const QString& caption);

// The program's name as boxes show it: the program file's name without
// its extension ("/opt/velmora/velmora-jig" gives "velmora-jig").
[[nodiscard]] QString programNameFromPath(const QString& programPath);

}  // namespace velmora::platform::qt
