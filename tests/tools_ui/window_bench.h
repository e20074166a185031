#pragma once
// What the tool window tests share: the program's objects over a fresh
// virtual bench, message sinks that note the cursor, a scripted file
// chooser, and a way to drive a modal dialog once it is open.
#include <QApplication>
#include <QDialog>
#include <QStringList>
#include <QCursor>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/virtual_bench.h"
#include "session/monitor_door.h"
#include "platform/file_chooser.h"
#include "platform/message_sink.h"

namespace velmora::tools::testing {

inline bool waitCursorShown() {
    const QCursor* cursor = QApplication::overrideCursor();
    return cursor != nullptr && cursor->shape() == Qt::WaitCursor;
}

// The line RecordingSink keeps for a box.
inline QString shownLine(std::string_view text, std::string_view caption, bool underWait = false) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())) + QStringLiteral(" | ") +
           QString::fromLatin1(caption.data(), static_cast<qsizetype>(caption.size())) +
           (underWait ? QStringLiteral(" [wait]") : QString());
}

// Each box as "text | caption", marked " [wait]" when it came up under the
// wait cursor.
struct RecordingSink : platform::MessageSink {
    void showMessage(std::string_view text, std::string_view caption) override {
        shown.append(shownLine(text, caption, waitCursorShown()));
    }
    QStringList shown;
};

// The program's objects on a fresh bench; the link's own messages and the
// windows' messages are kept apart.
struct WindowBench {
    WindowBench() { bench.log.clear(); }

    // Payloads (opcode first) of the requests the monitor received, in hex.
    [[nodiscard]] std::vector<std::string> payloads() const { return bench.log.requestPayloads(); }

    bench::VirtualBench bench;
    RecordingSink linkMessages;
    RecordingSink windowMessages;
    platform::ScriptedFileChooser chooser;
    session::OpenedWay way = session::openWayToMonitor({std::nullopt, &bench}, linkMessages);
    session::ProgramContext& program = *way.program;
};

// Runs `action` on the next modal dialog of type Dialog as soon as it is
// open, then lets the test go on; the dialog is closed by `action` or, if
// it forgets to, rejected afterwards so the test cannot hang.
template <class Dialog>
void whenModalOpens(std::function<void(Dialog&)> action) {
    QTimer::singleShot(0, [action = std::move(action)] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            if (auto* other = qobject_cast<QDialog*>(QApplication::activeModalWidget())) other->reject();
            return;
        }
        action(*dialog);
        if (dialog->isVisible()) dialog->reject();
    });
}

}  // namespace velmora::tools::testing
