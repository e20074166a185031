#pragma once
#include <QRect>
#include <QString>

#include <string>

#include "platform/qt/template_dialog.h"
#include "tools/memory_dialog_common.h"

namespace velmora::tools::ui {

// Controls the Save Memory and Dump Memory dialogs share.
inline constexpr int kFromPageBox = 1050;
inline constexpr int kFromAddressBox = 1045;
inline constexpr int kToPageBox = 1047;
inline constexpr int kToAddressBox = 1048;
inline constexpr int kActionButton = 1013;  // "Save to File" / "Load from File"
inline constexpr int kFileNameBox = 1052;
inline constexpr int kChooseFileButton = 1051;  // ".."

// Where a transfer's progress bar goes: right of the "File Name:" label,
// between the range group and the file name box, the one strip of the
// dialog that no control takes.
inline constexpr platform::qt::DialogRect kProgressPlace{55, 62, 153, 12};
// That place in the dialog's pixels.
[[nodiscard]] QRect progressPlace(const platform::qt::TemplateDialog& dialog);

// Writes the four range boxes.
void showRangeBoxes(const platform::qt::TemplateDialog& dialog, const RangeBoxTexts& texts);
// The four range boxes as typed.
[[nodiscard]] RangeBoxTexts readRangeBoxes(const platform::qt::TemplateDialog& dialog);

// File names travel between the boxes and the logic in the file system's
// own encoding, the form the file chooser hands out and the logic opens.
[[nodiscard]] QString fileNameForBox(const std::string& storedName);
[[nodiscard]] std::string fileNameFromBox(const QString& boxText);

// A box's text as the logic reads it: one byte per character.
[[nodiscard]] std::string boxBytes(const QString& text);

}  // namespace velmora::tools::ui
