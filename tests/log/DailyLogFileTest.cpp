#include "log/DailyLogFile.h"

#include <QDir>
#include <QTest>

class DailyLogFileTest : public QObject
{
    Q_OBJECT

private slots:
    void liesInTheTempFolderAndNamesTheDate_data();
    void liesInTheTempFolderAndNamesTheDate();
    void namesTheDateInAsciiDigitsWhateverTheLocale();
};

void DailyLogFileTest::liesInTheTempFolderAndNamesTheDate_data()
{
    QTest::addColumn<QString>("executableDirectory");
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QString>("expected");

    QTest::newRow("month and day below ten are zero-padded")
        << u"/opt/zor"_qs << QDate(2024, 3, 5) << u"/opt/zor/Temp/zorScheduler-LOG-2024-03-05.log"_qs;
    QTest::newRow("two-digit month and day")
        << u"/opt/zor"_qs << QDate(2023, 12, 31) << u"/opt/zor/Temp/zorScheduler-LOG-2023-12-31.log"_qs;
    QTest::newRow("a moment just after midnight belongs to the new day")
        << u"/opt/zor"_qs << QDateTime(QDate(2024, 1, 1), QTime(0, 0, 1)).date()
        << u"/opt/zor/Temp/zorScheduler-LOG-2024-01-01.log"_qs;
    QTest::newRow("a directory with blanks and non-ASCII letters")
        << u"/home/\u0633\u0644\u0627\u0645/my zor"_qs << QDate(2024, 3, 5)
        << u"/home/\u0633\u0644\u0627\u0645/my zor/Temp/zorScheduler-LOG-2024-03-05.log"_qs;
    QTest::newRow("a directory given with a trailing separator")
        << u"/opt/zor/"_qs << QDate(2024, 3, 5) << u"/opt/zor/Temp/zorScheduler-LOG-2024-03-05.log"_qs;
    QTest::newRow("the root directory") << u"/"_qs << QDate(2024, 3, 5) << u"/Temp/zorScheduler-LOG-2024-03-05.log"_qs;
}

void DailyLogFileTest::liesInTheTempFolderAndNamesTheDate()
{
    QFETCH(QString, executableDirectory);
    QFETCH(QDate, date);
    QFETCH(QString, expected);

    QCOMPARE(dailyLogFilePath(executableDirectory, date), QDir::toNativeSeparators(expected));
}

void DailyLogFileTest::namesTheDateInAsciiDigitsWhateverTheLocale()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::Persian, QLocale::Iran));
    const QString path = dailyLogFilePath(u"/opt/zor"_qs, QDate(2024, 3, 5));
    QLocale::setDefault(before);
    QCOMPARE(path, QDir::toNativeSeparators(u"/opt/zor/Temp/zorScheduler-LOG-2024-03-05.log"_qs));
}

QTEST_GUILESS_MAIN(DailyLogFileTest)
#include "DailyLogFileTest.moc"
