#include "platform/qt/sorted_combo_box.h"

namespace velmora::platform::qt {

int SortedComboBox::addSortedItem(const QString& text, const QVariant& data) {
    int position = count();
    for (int i = 0; i < count(); ++i) {
        if (QString::compare(itemText(i), text, Qt::CaseInsensitive) > 0) {
            position = i;
            break;
        }
    }
    insertItem(position, text, data);
    return position;
}

}  // namespace velmora::platform::qt
