#pragma once

#include "scheduler/ControlValues.h"

#include <QWidget>

// The status lamp: a filled circle centred in its box, as wide as the box's smaller side, with a thin
// outline. BackColor uses the 24-bit form with red in the lowest byte (LampColor).
class StatusLamp : public QWidget
{
    Q_OBJECT

public:
    explicit StatusLamp(QWidget* parent = nullptr);

    int backColor() const { return m_backColor; }
    void setBackColor(int color);

    static QColor toQColor(int color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_backColor = LampColor::Red;
};
