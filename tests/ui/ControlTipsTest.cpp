#include "support/TestWindow.h"
#include "support/WindowControls.h"

#include <QFile>
#include <QtTest>

// A job's tooltip, which is also its accessible description, after a real program that its tick started has
// ended with an error.
class ControlTipsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void tooltipShowsTheLastStartsExitCode()
    {
        TestWindow test;
        test.platform.shell.startsForReal = true;
        const QString bin = qEnvironmentVariable("ZOR_TESTS_BIN");
        const QString standin =
            bin + (QFile::exists(bin + QStringLiteral("/zor_standin.exe")) ? QStringLiteral("/zor_standin.exe")
                                                                           : QStringLiteral("/zor_standin"));
        QVERIFY(QFile::copy(standin, test.platform.path(QStringLiteral("Velmora.exe"))));
        qputenv("ZOR_STANDIN_EXIT_CODE", "3");
        test.startUp();
        test.window().cmdStart_Click();
        ValueCheckBox* orders = jobBox(test.window(), JobRow::ProcessInternetOrders);
        orders->setValue(CheckBoxValue::Checked);
        QVERIFY(orders->toolTip().startsWith(QStringLiteral("Next run: 12/7/26 9:01:30 AM.\nLast start: none")));

        test.window().tmrScheduler_Timer();
        QTRY_VERIFY_WITH_TIMEOUT(orders->toolTip().contains(QStringLiteral("\nEnded with exit code 3 after ")), 10000);
        QVERIFY(orders->toolTip().startsWith(
            QStringLiteral("Next run: 12/7/26 9:01:30 AM.\nLast start: 12/7/26 9:00:00 AM.\n")));
        QCOMPARE(orders->accessibleDescription(), orders->toolTip());
        QCOMPARE(lamp(test.window())->toolTip(),
                 QStringLiteral("The timer runs, since 12/7/26 9:00:00 AM.\nNext tick: 12/7/26 9:01:30 AM."));
    }
};

QTEST_MAIN(ControlTipsTest)
#include "ControlTipsTest.moc"
