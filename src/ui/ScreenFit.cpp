#include "ui/ScreenFit.h"

#include "platform/WindowFrame.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <QtGui/private/qhighdpiscaling_p.h>
#include <qpa/qplatformscreen.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kSmallestRatio = 0.5;

// Where the window manager draws the frame, it is known only once a window is shown: room for a title bar and
// thin borders at the screen's scale.
QMargins frameAllowance(qreal ratio)
{
    const auto pixels = [ratio](int logical) { return static_cast<int>(std::ceil(logical * ratio)); };
    return {pixels(4), pixels(32), pixels(4), pixels(4)};
}

// The factor QT_SCALE_FACTOR gave the whole program, read as Qt reads it.
qreal environmentFactor()
{
    bool ok = false;
    const qreal factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok && factor > 0 ? factor : 1.0;
}

} // namespace

qreal ratioThatFits(QSize client, QMargins frame, QSize available, qreal ratio)
{
    const int roomX = available.width() - frame.left() - frame.right();
    const int roomY = available.height() - frame.top() - frame.bottom();
    if (client.isEmpty() || roomX <= 0 || roomY <= 0)
        return ratio;
    // A logical length turns into the device pixels it rounds to.
    const auto fits = [&](qreal r) {
        return std::lround(client.width() * r) <= roomX && std::lround(client.height() * r) <= roomY;
    };
    if (fits(ratio))
        return ratio;
    const qreal largest = std::min(qreal(roomX) / client.width(), qreal(roomY) / client.height());
    qreal fitting = std::floor(largest * 100) / 100;
    while (fitting > kSmallestRatio && !fits(fitting))
        fitting -= 0.01;
    return std::min(ratio, std::max(fitting, kSmallestRatio));
}

QPoint wholeOnScreen(QRect frame, QRect available)
{
    const auto within = [](int start, int length, int areaStart, int areaLength) {
        return std::max(areaStart, std::min(start, areaStart + areaLength - length));
    };
    return {within(frame.x(), frame.width(), available.x(), available.width()),
            within(frame.y(), frame.height(), available.y(), available.height())};
}

void fitScaleToScreen(QSize clientSize)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const qreal ratio = screen->devicePixelRatio();
    const std::optional<WindowFrame> system = primaryScreenWindowFrame();
    const QMargins frame =
        system ? QMargins(system->left, system->top, system->right, system->bottom) : frameAllowance(ratio);
    const qreal fitting = ratioThatFits(clientSize, frame, screen->handle()->availableGeometry().size(), ratio);
    if (fitting < ratio)
        QHighDpiScaling::setGlobalFactor(environmentFactor() * fitting / ratio);
}

void keepWholeOnScreen(QWidget& window)
{
    const QRect frame = window.frameGeometry();
    const QPoint place = wholeOnScreen(frame, window.screen()->availableGeometry());
    if (place != frame.topLeft())
        window.move(place);
}
