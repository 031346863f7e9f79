#include "support/TestWindow.h"
#include "support/WindowControls.h"
#include "ui/StatusLamp.h"

#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>
#include <QtTest>

#include <memory>

namespace {

bool isWhite(const QColor& c)
{
    return c == QColor(255, 255, 255);
}

bool isRedInk(const QColor& c)
{
    return c.red() > 200 && c.green() < 90 && c.blue() < 90;
}

// Where a control of the frame lands in the window's picture.
QRect inWindow(const QWidget& control)
{
    return QRect(control.mapTo(control.window(), QPoint(0, 0)), control.size());
}

int countPixels(const QImage& image, const QRect& area, bool (*test)(const QColor&))
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += test(image.pixelColor(x, y)) ? 1 : 0;
    }
    return count;
}

} // namespace

class WindowRenderingTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void lampIsADiscOfItsColour();
    void headingsAreRedAndUnitsUnseen_data();
    void headingsAreRedAndUnitsUnseen();
    void enlargingShowsOnlyWhite();
    void logPaneWrapsAndShowsNoScrollBars();

private:
    QImage picture() const { return m_window->grab().toImage(); }

    std::unique_ptr<TestWindow> m_test;
    SchedulerWindow* m_window = nullptr;
};

void WindowRenderingTest::init()
{
    m_test = std::make_unique<TestWindow>();
    m_window = &m_test->window();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QCOMPARE(m_window->devicePixelRatio(), 1.0);
}

void WindowRenderingTest::cleanup()
{
    m_window = nullptr;
    m_test.reset();
}

void WindowRenderingTest::lampIsADiscOfItsColour()
{
    const QRect box = inWindow(*lamp(*m_window));
    QCOMPARE(box, QRect(30, 92, 31, 23));
    const QPoint centre(box.left() + 15, box.top() + 11);

    QImage image = picture();
    for (QPoint p :
         {centre, centre + QPoint(-9, 0), centre + QPoint(9, 0), centre + QPoint(0, -9), centre + QPoint(0, 9)})
        QCOMPARE(image.pixelColor(p), QColor(255, 0, 0));
    // A circle, not the box: the box's corners keep the frame's white.
    for (QPoint corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        QVERIFY(isWhite(image.pixelColor(corner)));
    // The outline: a dark ring between the disc and the white around it.
    const QColor rim = image.pixelColor(centre.x(), box.top());
    QVERIFY2(rim.lightness() < 128, qPrintable(rim.name()));

    lamp(*m_window)->setBackColor(LampColor::Green);
    image = picture();
    QCOMPARE(image.pixelColor(centre), QColor(0, 255, 0));
    QCOMPARE(image.pixelColor(centre + QPoint(9, 0)), QColor(0, 255, 0));

    // Locking the frame leaves the lamp's colour as it is.
    frame(*m_window)->setEnabled(false);
    QCOMPARE(picture().pixelColor(centre), QColor(0, 255, 0));
}

void WindowRenderingTest::headingsAreRedAndUnitsUnseen_data()
{
    QTest::addColumn<bool>("locked");
    QTest::newRow("with the frame unlocked") << false;
    QTest::newRow("with the frame locked, as the window opens") << true;
}

void WindowRenderingTest::headingsAreRedAndUnitsUnseen()
{
    QFETCH(bool, locked);
    frame(*m_window)->setEnabled(!locked);
    const QImage image = picture();

    for (QLabel* heading : {label(*m_window, "Label3"), label(*m_window, "Label4")}) {
        const int red = countPixels(image, inWindow(*heading), isRedInk);
        QVERIFY2(red > 100, qPrintable(QStringLiteral("%1: %2 red pixels").arg(heading->objectName()).arg(red)));
    }
    for (QLabel* unit : {label(*m_window, "Label5"), label(*m_window, "Label2"), label(*m_window, "Label1")}) {
        const QRect area = inWindow(*unit);
        QCOMPARE(countPixels(image, area, isWhite), area.width() * area.height());
    }
}

void WindowRenderingTest::enlargingShowsOnlyWhite()
{
    // The window's own controls, not the parts that Qt builds them of.
    QList<QWidget*> controls;
    for (QWidget* child : m_window->findChildren<QWidget*>()) {
        if (!child->objectName().isEmpty() && !child->objectName().startsWith(QLatin1String("qt_")))
            controls << child;
    }
    QCOMPARE(controls.size(), 24);
    QList<QRect> places;
    for (QWidget* control : controls)
        places << control->geometry();

    m_window->resize(1400, 900);
    QTRY_COMPARE(m_window->size(), QSize(1400, 900));
    const QImage image = picture();
    QCOMPARE(image.size(), QSize(1400, 900));

    // Right of the controls and below them: nothing but the window's white.
    QCOMPARE(countPixels(image, QRect(940, 0, 460, 900), isWhite), 460 * 900);
    QCOMPARE(countPixels(image, QRect(0, 515, 1400, 385), isWhite), 1400 * 385);
    // Under the Clear Log button, and between the log pane and the frame.
    QCOMPARE(countPixels(image, QRect(100, 484, 800, 30), isWhite), 800 * 30);
    QVERIFY(isWhite(image.pixelColor(400, 123)));

    for (qsizetype i = 0; i < controls.size(); ++i)
        QCOMPARE(controls[i]->geometry(), places[i]);
}

void WindowRenderingTest::logPaneWrapsAndShowsNoScrollBars()
{
    LogPane& logPane = *pane(*m_window);
    const QRect area = inWindow(logPane);
    const QRect inside = area.adjusted(4, 4, -4, -4);
    QCOMPARE(countPixels(picture(), inside, isWhite), inside.width() * inside.height());

    const QString longLine =
        QStringLiteral("7 Dec 2026 09:00:00: ") + QString(400, QLatin1Char('x')) + QStringLiteral(" end\r\n");
    QString text;
    for (int i = 0; i < 60; ++i)
        text += longLine;
    logPane.setText(text);
    QApplication::processEvents();

    QVERIFY(logPane.document()->firstBlock().layout()->lineCount() > 1);
    QCOMPARE(logPane.horizontalScrollBar()->maximum(), 0);
    QVERIFY(logPane.verticalScrollBar()->maximum() > 0);
    QVERIFY(!logPane.verticalScrollBar()->isVisible());
    QVERIFY(!logPane.horizontalScrollBar()->isVisible());

    // Without scroll bars the keyboard and the mouse wheel still scroll the pane.
    logPane.setFocus();
    QTest::keyClick(&logPane, Qt::Key_PageDown);
    const int afterPageDown = logPane.verticalScrollBar()->value();
    QVERIFY(afterPageDown > 0);
    const QPointF middle = QRectF(logPane.viewport()->rect()).center();
    QWheelEvent wheel(middle, logPane.viewport()->mapToGlobal(middle), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(logPane.viewport(), &wheel);
    QVERIFY(logPane.verticalScrollBar()->value() > afterPageDown);
}

QTEST_MAIN(WindowRenderingTest)
#include "WindowRenderingTest.moc"
