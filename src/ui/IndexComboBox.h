#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QPointer>

// A combo box as the scheduler reads it: ListIndex is the selected entry's position (-1 for none) and
// List(i) the text of entry i. Selecting an entry, from the list or by setting ListIndex, raises
// listIndexChanged; typing into an editable field selects nothing, also when Enter is pressed or the focus
// leaves, and never adds an entry.
class IndexComboBox : public QComboBox
{
    Q_OBJECT

public:
    explicit IndexComboBox(QWidget* parent = nullptr);

    int listIndex() const { return currentIndex(); }
    // Selects entry index, or none with -1; any other value is refused (returns false) and changes nothing.
    bool setListIndex(int index);
    // The text of entry index; empty for a position outside the list.
    QString list(int index) const;

    bool event(QEvent* event) override;

signals:
    void listIndexChanged(int index);

private:
    void keepTypingFromSelecting();

    QPointer<QLineEdit> m_quietLineEdit;
};
