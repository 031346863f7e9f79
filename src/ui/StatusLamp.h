#pragma once

#include "scheduler/SchedulerWindow.h"

#include <QWidget>

// The status lamp: a filled circle centred in its box, as wide as the box's smaller side, with a thin
// outline. BackColor uses the 24-bit form with red in the lowest byte (255 red, 65280 green).
class StatusLamp : public QWidget
{
    Q_OBJECT

public:
    enum : int
    {
        Red = LampColor::Red,
        Green = LampColor::Green
    };

    explicit StatusLamp(QWidget* parent = nullptr);

    int backColor() const { return m_backColor; }
    void setBackColor(int color);

    static QColor toQColor(int color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_backColor = Red;
};
