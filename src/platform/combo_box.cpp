#include "platform/combo_box.h"

#include <QLineEdit>

namespace velmora::platform {

ComboBox::ComboBox(bool sorted, bool editable, QWidget* parent) : QComboBox(parent), sorted_(sorted)
{
    setEditable(editable);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(30);
}

int ComboBox::AddString(const QString& text)
{
    int position = count();
    if (sorted_) {
        position = 0;
        while (position < count() && QString::compare(itemText(position), text, Qt::CaseInsensitive) <= 0) {
            ++position;
        }
    }
    insertItem(position, text);
    return position;
}

int ComboBox::InsertString(int position, const QString& text)
{
    if (position < 0 || position > count()) {
        position = count();
    }
    insertItem(position, text);
    return position;
}

void ComboBox::DeleteString(int position)
{
    if (position >= 0 && position < count()) {
        removeItem(position);
    }
}

void ComboBox::ResetContent()
{
    clear();
    if (isEditable()) {
        lineEdit()->clear();
    }
}

void ComboBox::SetCurSel(int position) { setCurrentIndex(position >= 0 && position < count() ? position : -1); }

int ComboBox::FindStringExact(const QString& text) const
{
    for (int i = 0; i < count(); ++i) {
        if (QString::compare(itemText(i), text, Qt::CaseInsensitive) == 0) {
            return i;
        }
    }
    return -1;
}

}  // namespace velmora::platform
