#pragma once

#include <QComboBox>

// A combo box as the scheduler reads it: ListIndex is the selected entry's position (-1 for none) and
// List(i) the text of entry i. Selecting an entry, from the list or by setting ListIndex, raises
// listIndexChanged; typing into an editable field selects nothing.
class VbComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit VbComboBox(QWidget* parent = nullptr);

    int listIndex() const { return currentIndex(); }
    // Selects entry index, or none with -1; any other value is refused (returns false) and changes nothing.
    bool setListIndex(int index);
    // The text of entry index; empty for a position outside the list.
    QString list(int index) const;

signals:
    void listIndexChanged(int index);
};
