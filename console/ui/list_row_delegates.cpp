#include "console/ui/list_row_delegates.h"

#include <QFontMetrics>
#include <QListWidget>
#include <QPainter>

#include "console/ui/row_painting.h"

namespace velmora::console::ui {
namespace {

bool isSelected(const QStyleOptionViewItem& option) {
    return option.state.testFlag(QStyle::State_Selected);
}

void configureList(QListWidget& list, QAbstractItemDelegate* delegate) {
    list.setItemDelegate(delegate);
    list.setUniformItemSizes(true);
    list.setSpacing(0);
    list.setSelectionMode(QAbstractItemView::SingleSelection);
    list.setSelectionBehavior(QAbstractItemView::SelectRows);
}

}  // namespace

void ItemRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                            const QModelIndex& index) const {
    painter->setFont(option.font);
    paintItemRow(*painter, option.rect, index.data(Qt::DisplayRole).toString(),
                 index.data(kValueTextRole).toString(), isSelected(option));
}

QSize ItemRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    const QFontMetrics metrics(option.font);
    const int nameEnd = kItemNameLeft + metrics.horizontalAdvance(index.data().toString());
    const int valueEnd =
        kItemValueLeft + metrics.horizontalAdvance(index.data(kValueTextRole).toString());
    return {std::max(nameEnd, valueEnd) + kItemNameLeft, kListRowHeight};
}

void FunctionRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const {
    painter->setFont(option.font);
    paintFunctionRow(*painter, option.rect, index.data(Qt::DisplayRole).toString(),
                     isSelected(option));
}

QSize FunctionRowDelegate::sizeHint(const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const {
    const QFontMetrics metrics(option.font);
    return {2 * kFunctionTextLeft + metrics.horizontalAdvance(index.data().toString()),
            kListRowHeight};
}

void useItemRowPainting(QListWidget& list) {
    configureList(list, new ItemRowDelegate(&list));
}

void useFunctionRowPainting(QListWidget& list) {
    configureList(list, new FunctionRowDelegate(&list));
}

}  // namespace velmora::console::ui
