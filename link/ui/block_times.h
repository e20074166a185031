#pragma once
#include <QDateTime>
#include <QString>
#include <QTextBlock>

#include <optional>

class QTextDocument;

namespace velmora::link::ui {

// When each block of the I2C DEBUGGER's text arrived: the banner and every
// RUN's transcript carry the time on the paragraph where they begin. The
// times live with the paragraphs of the edit's document (as its block user
// data), so they stay with the text the technician sees, and go with it.

// Marks `block` as the start of a block that arrived at `time`; a mark it
// already carries (an earlier block that began on the same paragraph) stays.
void markBlockStart(QTextBlock block, const QDateTime& time);

// The arrival time that `block` carries, if any.
[[nodiscard]] std::optional<QDateTime> blockStart(const QTextBlock& block);

// Removes the document's first paragraph with its line break. Its mark
// moves to the paragraph that becomes the first when that one has none, so
// the rest of a block that lost its first line keeps its time.
void removeFirstParagraph(QTextDocument& document);

// The document's text as a file keeps it: each paragraph on a line of its
// own ending in CR LF as the transcript's lines do, and before each marked
// paragraph a line with its time, "[yyyy-MM-dd hh:mm:ss]" in local time.
[[nodiscard]] QString textWithBlockTimes(const QTextDocument& document);

}  // namespace velmora::link::ui
