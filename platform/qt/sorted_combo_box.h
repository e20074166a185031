#pragma once
#include <QComboBox>
#include <QVariant>

namespace velmora::platform::qt {

// A drop-down list that keeps its entries in alphabetical order of their
// text, without regard to case. Positions in the list therefore differ from
// the order of insertion; callers find their entries through the item data.
class SortedComboBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;

    // Inserts the entry at its sorted place (after entries that compare
    // equal) and returns its position.
    int addSortedItem(const QString& text, const QVariant& data = {});
};

}  // namespace velmora::platform::qt
