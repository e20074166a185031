#include "link/ui/block_times.h"

#include <QTextCursor>
#include <QTextDocument>

#include <utility>

namespace velmora::link::ui {
namespace {

class BlockStart : public QTextBlockUserData {
public:
    explicit BlockStart(QDateTime time) : time(std::move(time)) {}
    QDateTime time;
};

const QString kLineEnd = QStringLiteral("\r\n");

}  // namespace

void markBlockStart(QTextBlock block, const QDateTime& time) {
    if (!blockStart(block)) block.setUserData(new BlockStart(time));
}

std::optional<QDateTime> blockStart(const QTextBlock& block) {
    if (const auto* mark = dynamic_cast<const BlockStart*>(block.userData())) return mark->time;
    return std::nullopt;
}

void removeFirstParagraph(QTextDocument& document) {
    const QTextBlock first = document.firstBlock();
    const QTextBlock next = first.next();
    // Which paragraph keeps its user data when two merge is Qt's choice;
    // the mark the new first paragraph ends with is set here explicitly.
    std::optional<QDateTime> kept = next.isValid() ? blockStart(next) : std::nullopt;
    if (!kept) kept = blockStart(first);
    QTextCursor cursor(&document);
    cursor.setPosition(first.position());
    if (next.isValid()) {
        cursor.setPosition(next.position(), QTextCursor::KeepAnchor);
    } else {
        cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    }
    cursor.removeSelectedText();
    document.firstBlock().setUserData(kept ? new BlockStart(*kept) : nullptr);
}

QString textWithBlockTimes(const QTextDocument& document) {
    QString text;
    for (QTextBlock block = document.firstBlock(); block.isValid(); block = block.next()) {
        if (const std::optional<QDateTime> time = blockStart(block)) {
            text += QLatin1Char('[') + time->toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")) + QLatin1Char(']') +
                    kLineEnd;
        }
        text += block.text();
        if (block.next().isValid()) text += kLineEnd;
    }
    return text;
}

}  // namespace velmora::link::ui
