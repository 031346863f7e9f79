#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

// The window's layout is fixed: at a screen's scale it may be larger than the screen. Then the whole program
// is drawn at a smaller scale, the largest at which the window and its frame fit, rather than cut off.

// The device pixel ratio at which a window of `client` logical pixels, with `frame` device pixels around it,
// fits `available` device pixels: `ratio` itself when it fits at it, else the largest that fits, in steps of
// 1/100, never below 1/2.
qreal ratioThatFits(QSize client, QMargins frame, QSize available, qreal ratio);

// Where a window whose frame is `frame` stands whole within `available`: where it is when it does, else moved
// in by the least distance; one larger than `available` keeps its top-left corner (the title bar) inside.
QPoint wholeOnScreen(QRect frame, QRect available);

// Lowers the program's scale so that a window of `clientSize` logical pixels, with its frame, fits the
// primary screen's available area at its centre. Only before any window exists; nothing when it fits.
void fitScaleToScreen(QSize clientSize);

// Moves a shown top-level window, frame and all, onto its screen's available area when it stands partly off.
void keepWholeOnScreen(QWidget& window);
