#include "ui/StatusLamp.h"

#include <QPainter>

StatusLamp::StatusLamp(QWidget* parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void StatusLamp::setBackColor(int color)
{
    if (color == m_backColor)
        return;
    m_backColor = color;
    update();
}

QColor StatusLamp::toQColor(int color)
{
    return QColor(color & 0xff, (color >> 8) & 0xff, (color >> 16) & 0xff);
}

void StatusLamp::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const int diameter = qMin(width(), height()) - 1;
    const QRectF circle((width() - diameter) / 2.0, (height() - diameter) / 2.0, diameter, diameter);
    painter.setBrush(toQColor(m_backColor));
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1));
    painter.drawEllipse(circle);
}
