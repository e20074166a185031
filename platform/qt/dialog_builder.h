#pragma once
#include <QString>

#include "platform/qt/dialog_template.h"
#include "platform/qt/dialog_units.h"

class QFontMetrics;
class QWidget;

namespace velmora::platform::qt {

// Creates the table's controls as children of host, in table order, placed
// by the dialog units. Each control with an id gets the decimal id as its
// object name. The first control ends up in front and the last behind, as
// in the tables (the tab control lies behind the lists drawn on it).
// Returns an error text, empty on success.
[[nodiscard]] QString buildControls(QWidget& host, const DialogTemplate& dialog,
                                    const DialogUnits& units);

// The direct child of host built for the control id, or nullptr.
[[nodiscard]] QWidget* findControl(const QWidget& host, int id);

// Breaks a button caption into lines no wider than width pixels, at blanks.
// A single word wider than the width stays on its own line.
[[nodiscard]] QString wrapCaption(const QString& caption, const QFontMetrics& metrics, int width);

}  // namespace velmora::platform::qt
