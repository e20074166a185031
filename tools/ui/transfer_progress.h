#pragma once
#include <QRect>
#include <QString>

#include <functional>
#include <optional>

#include "tools/memory_transfer.h"

class QProgressBar;
class QWidget;

namespace velmora::tools::ui {

// A progress bar on a dialog while a range is read or written byte by byte (a save of 1,024 bytes takes about 20 s on a real
// monitor). No event loop runs during the transfer, so the bar repaints
// itself after every byte; no input is taken meanwhile, and the wait cursor
// stays. It is shown at the first byte and hidden when the dialog calls
// finish(). It lies along the dialog's lower edge, as wide as the dialog,
// unless the dialog gives it a place of its own (where it covers nothing).
//
// The console's RUN shows a long function's steps with it the same way,
// through showSteps() and its own bar text.
class TransferProgress {
public:
    // `format` is the bar's text (QProgressBar's %v, %m and %p).
    explicit TransferProgress(QWidget& dialog, const QString& format = QStringLiteral("%v of %m bytes (%p%)"));

    // The bar's place in the dialog's client area, in pixels.
    void placeAt(const QRect& place) { place_ = place; }

    // The byte-done call for the dialog's logic; `total` gives the bytes of
    // the transfer under way (asked at its first byte).
    [[nodiscard]] ByteDone byteDone(std::function<int()> total);
    // Shows `done` of `total` steps at once (and the bar when it is hidden).
    void showSteps(int done, int total);
    void finish();

    [[nodiscard]] const QProgressBar& bar() const { return *bar_; }

private:
    void step(int total);

    QWidget& dialog_;
    QProgressBar* bar_;  // owned by the dialog
    std::optional<QRect> place_;
};

}  // namespace velmora::tools::ui
