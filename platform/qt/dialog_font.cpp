#include "platform/qt/dialog_font.h"

#include <QFontDatabase>
#include <QFontMetrics>

namespace velmora::platform::qt {

bool isFixedPitchFace(const QString& face) {
    return face.compare(QLatin1String("Fixedsys"), Qt::CaseInsensitive) == 0 ||
           face.compare(QLatin1String("Terminal"), Qt::CaseInsensitive) == 0 ||
           face.startsWith(QLatin1String("Courier"), Qt::CaseInsensitive);
}

QFont dialogFont(const QString& face, int pointSize) {
    QFont font = QFontDatabase::systemFont(isFixedPitchFace(face) ? QFontDatabase::FixedFont
                                                                  : QFontDatabase::GeneralFont);
    if (isFixedPitchFace(face)) {
        // The system's fixed font may come back with a proportional fallback
        // family on minimal platforms; the hint keeps the columns aligned.
        font.setStyleHint(QFont::Monospace);
        font.setFixedPitch(true);
    }
    if (pointSize > 0) {
        font.setPointSize(pointSize);
    }
    return font;
}

DialogUnits dialogUnitsFor(const QFont& font) {
    static const QString kAlphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    // Average over 52 letters, rounded to the nearest pixel: (w / 26 + 1) / 2.
    const int average = (metrics.horizontalAdvance(kAlphabet) / 26 + 1) / 2;
    return DialogUnits(average, metrics.height());
}

}  // namespace velmora::platform::qt
