#include "ui/VbComboBox.h"

VbComboBox::VbComboBox(QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::currentIndexChanged, this, &VbComboBox::listIndexChanged);
}

bool VbComboBox::setListIndex(int index)
{
    if (index < -1 || index >= count())
        return false;
    setCurrentIndex(index);
    return true;
}

QString VbComboBox::list(int index) const
{
    return index >= 0 && index < count() ? itemText(index) : QString();
}
