#include "ui/ValueCheckBox.h"

ValueCheckBox::ValueCheckBox(QWidget* parent) : QCheckBox(parent)
{
    connect(this, &QCheckBox::stateChanged, this, [this] { emit valueChanged(value()); });
}

int ValueCheckBox::value() const
{
    switch (checkState()) {
    case Qt::Checked:
        return CheckBoxValue::Checked;
    case Qt::PartiallyChecked:
        return CheckBoxValue::Grayed;
    case Qt::Unchecked:
        break;
    }
    return CheckBoxValue::Unchecked;
}

bool ValueCheckBox::setValue(int value)
{
    switch (value) {
    case CheckBoxValue::Unchecked:
        setCheckState(Qt::Unchecked);
        return true;
    case CheckBoxValue::Checked:
        setCheckState(Qt::Checked);
        return true;
    case CheckBoxValue::Grayed:
        setCheckState(Qt::PartiallyChecked);
        return true;
    default:
        return false;
    }
}

void ValueCheckBox::nextCheckState()
{
    // setCheckState(PartiallyChecked) switches Qt's tristate mode on, after which clicks would cycle through
    // three states; a click here always lands on ticked or unticked.
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}
