#include "tools/ui/range_boxes.h"

#include <QFile>
#include <QLineEdit>

namespace velmora::tools::ui {

namespace {

void setBox(const platform::qt::TemplateDialog& dialog, int id, const std::string& text) {
    if (auto* box = dialog.control<QLineEdit>(id)) box->setText(QString::fromLatin1(text));
}

std::string boxText(const platform::qt::TemplateDialog& dialog, int id) {
    const auto* box = dialog.control<QLineEdit>(id);
    return box != nullptr ? boxBytes(box->text()) : std::string();
}

}  // namespace

void showRangeBoxes(const platform::qt::TemplateDialog& dialog, const RangeBoxTexts& texts) {
    setBox(dialog, kFromPageBox, texts.fromPage);
    setBox(dialog, kFromAddressBox, texts.fromAddress);
    setBox(dialog, kToPageBox, texts.toPage);
    setBox(dialog, kToAddressBox, texts.toAddress);
}

RangeBoxTexts readRangeBoxes(const platform::qt::TemplateDialog& dialog) {
    return {boxText(dialog, kFromPageBox), boxText(dialog, kFromAddressBox), boxText(dialog, kToPageBox),
            boxText(dialog, kToAddressBox)};
}

QString fileNameForBox(const std::string& storedName) {
    return QFile::decodeName(QByteArray::fromStdString(storedName));
}

std::string fileNameFromBox(const QString& boxText) { return QFile::encodeName(boxText).toStdString(); }

std::string boxBytes(const QString& text) {
    // Characters beyond Latin-1 become '?', which no reading takes for a digit.
    return text.toLatin1().toStdString();
}

QRect progressPlace(const platform::qt::TemplateDialog& dialog) {
    const platform::qt::PixelRect place = dialog.dialogUnits().toPixels(kProgressPlace);
    return {place.x, place.y, place.width, place.height};
}

}  // namespace velmora::tools::ui
