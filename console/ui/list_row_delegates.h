#pragma once
#include <QAbstractItemDelegate>

class QListWidget;

namespace velmora::console::ui {

// Data of a list row as the delegates read it. The item list shows
// Qt::DisplayRole as the name and kValueTextRole as the value text; the
// function list shows Qt::DisplayRole, its stored text with the prefix.
// Qt::UserRole and above, except kValueTextRole, stay free for the caller's
// records.
inline constexpr int kValueTextRole = Qt::UserRole + 100;

// Paints rows of the item list (see paintItemRow).
class ItemRowDelegate : public QAbstractItemDelegate {
    Q_OBJECT
public:
    using QAbstractItemDelegate::QAbstractItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Paints rows of the function list (see paintFunctionRow).
class FunctionRowDelegate : public QAbstractItemDelegate {
    Q_OBJECT
public:
    using QAbstractItemDelegate::QAbstractItemDelegate;
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

// Give a list box the item-list or function-list look: the delegate, rows
// of equal height, single selection.
void useItemRowPainting(QListWidget& list);
void useFunctionRowPainting(QListWidget& list);

}  // namespace velmora::console::ui
