#pragma once

#include "scheduler/ControlValues.h"

#include <QCheckBox>

// A check box with the program's three-valued Value (CheckBoxValue): 0 unticked, 1 ticked, 2 greyed. Qt's
// CheckState numbers the same states 0, 2 and 1, so the conversion lives here and nowhere else. The operator's clicks
// only toggle between unticked and ticked, also on a box that the program made greyed.
class ValueCheckBox : public QCheckBox
{
    Q_OBJECT

public:
    explicit ValueCheckBox(QWidget* parent = nullptr);

    int value() const;
    // Sets the Value; anything but 0, 1 or 2 is refused (returns false) and leaves the box unchanged.
    // Raises valueChanged, like a click, when the Value changes.
    bool setValue(int value);

signals:
    // The Value changed, by the operator or by the program.
    void valueChanged(int value);

protected:
    void nextCheckState() override;
};
