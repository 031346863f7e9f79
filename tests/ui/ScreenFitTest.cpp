#include "ui/ScreenFit.h"

#include <QtTest>

class ScreenFitTest : public QObject
{
    Q_OBJECT

private slots:
    void theLargestRatioThatFits_data();
    void theLargestRatioThatFits();
    void aWindowStandsWholeOnItsScreen_data();
    void aWindowStandsWholeOnItsScreen();
};

namespace {

const QSize kClient(944, 515);

} // namespace

void ScreenFitTest::theLargestRatioThatFits_data()
{
    QTest::addColumn<QMargins>("frame");
    QTest::addColumn<QSize>("available");
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<qreal>("expected");

    const QMargins frame144(11, 45, 11, 11);
    QTest::newRow("96 dpi on 1280 x 1024") << QMargins(8, 31, 8, 8) << QSize(1280, 984) << 1.0 << 1.0;
    QTest::newRow("144 dpi on 1920 x 1080") << frame144 << QSize(1920, 1040) << 1.5 << 1.5;
    // 1416 pixels of client area where 1258 are free beside the borders: 1.33 gives 1256.
    QTest::newRow("144 dpi on 1280 x 1024: the width decides") << frame144 << QSize(1280, 984) << 1.5 << 1.33;
    // 600 / 515 = 1.165; 1.16 gives 597 rows.
    QTest::newRow("the height decides") << QMargins() << QSize(1920, 600) << 1.5 << 1.16;
    QTest::newRow("exactly as large as the room") << QMargins() << QSize(1416, 773) << 1.5 << 1.5;
    QTest::newRow("never below one half") << QMargins() << QSize(320, 200) << 1.0 << 0.5;
    QTest::newRow("a smaller ratio than a half is kept") << QMargins() << QSize(320, 200) << 0.4 << 0.4;
    QTest::newRow("no room at all: left as it is") << frame144 << QSize(20, 40) << 1.5 << 1.5;
}

void ScreenFitTest::theLargestRatioThatFits()
{
    QFETCH(QMargins, frame);
    QFETCH(QSize, available);
    QFETCH(qreal, ratio);
    QFETCH(qreal, expected);

    const qreal fitting = ratioThatFits(kClient, frame, available, ratio);
    QCOMPARE(fitting, expected);
    if (fitting > 0.5 && fitting < ratio) {
        // The largest: a hundredth more no longer fits.
        const qreal more = fitting + 0.01;
        QVERIFY(std::lround(kClient.width() * more) > available.width() - frame.left() - frame.right() ||
                std::lround(kClient.height() * more) > available.height() - frame.top() - frame.bottom());
    }
}

void ScreenFitTest::aWindowStandsWholeOnItsScreen_data()
{
    QTest::addColumn<QRect>("frame");
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("expected");

    const QRect screen(0, 0, 1280, 984);
    QTest::newRow("whole already") << QRect(100, 100, 944, 560) << screen << QPoint(100, 100);
    QTest::newRow("past the right and bottom edges") << QRect(900, 700, 400, 300) << screen << QPoint(880, 684);
    QTest::newRow("wider than the screen: its left edge") << QRect(-74, 126, 1440, 800) << screen << QPoint(0, 126);
    QTest::newRow("task bar at the top, second screen to the left")
        << QRect(-50, 10, 400, 300) << QRect(0, 40, 1280, 984) << QPoint(0, 40);
}

void ScreenFitTest::aWindowStandsWholeOnItsScreen()
{
    QFETCH(QRect, frame);
    QFETCH(QRect, available);
    QFETCH(QPoint, expected);

    QCOMPARE(wholeOnScreen(frame, available), expected);
}

QTEST_GUILESS_MAIN(ScreenFitTest)
#include "ScreenFitTest.moc"
