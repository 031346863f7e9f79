#include "ui/IndexComboBox.h"

IndexComboBox::IndexComboBox(QWidget* parent) : QComboBox(parent)
{
    setInsertPolicy(QComboBox::NoInsert);
    connect(this, &QComboBox::currentIndexChanged, this, &IndexComboBox::listIndexChanged);
}

bool IndexComboBox::setListIndex(int index)
{
    if (index < -1 || index >= count())
        return false;
    setCurrentIndex(index);
    return true;
}

QString IndexComboBox::list(int index) const
{
    return index >= 0 && index < count() ? itemText(index) : QString();
}

bool IndexComboBox::event(QEvent* event)
{
    // The form makes the box editable after it is constructed. The operator cannot reach the field before the
    // box has been shown, so the box's first event is early enough to quieten it.
    keepTypingFromSelecting();
    return QComboBox::event(event);
}

void IndexComboBox::keepTypingFromSelecting()
{
    QLineEdit* field = lineEdit();
    if (!field || field == m_quietLineEdit)
        return;
    m_quietLineEdit = field;
    // QComboBox selects the entry matching the typed text when the field reports Enter or the end of editing
    // (the focus leaving), even with NoInsert, and its completer selects the entry it completes to.
    setCompleter(nullptr);
    disconnect(field, &QLineEdit::returnPressed, this, nullptr);
    disconnect(field, &QLineEdit::editingFinished, this, nullptr);
}
