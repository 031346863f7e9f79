#include "log/DateTimeText.h"

#include <QTest>

class DateTimeTextTest : public QObject
{
    Q_OBJECT

private slots:
    void followsTheGivenLocale_data();
    void followsTheGivenLocale();
    void usesTheDefaultLocaleWhenNoneIsGiven();
};

void DateTimeTextTest::followsTheGivenLocale_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("expected");

    // UTC moments, so that a time-zone field left in the format would show as "UTC".
    const QDateTime afternoon(QDate(2024, 3, 5), QTime(14, 7, 9), Qt::UTC);
    const QDateTime afterMidnight(QDate(2024, 1, 1), QTime(0, 0, 30), Qt::UTC);
    QTest::newRow("US English: month first, 12-hour clock, no zone after AM/PM")
        << u"en_US"_qs << afternoon << u"3/5/24 2:07:09 PM"_qs;
    QTest::newRow("US English shortly after midnight reads 12 AM")
        << u"en_US"_qs << afterMidnight << u"1/1/24 12:00:30 AM"_qs;
    QTest::newRow("German: day first, zero-padded, 24-hour clock")
        << u"de_DE"_qs << afternoon << u"05.03.24 14:07:09"_qs;
    QTest::newRow("Persian: ASCII digits and no empty brackets where the zone was")
        << u"fa_IR"_qs << afternoon << u"2024/3/5 14:07:09"_qs;
    QTest::newRow("Chinese: the zone that leads the time is dropped with its blank")
        << u"zh_CN"_qs << afternoon << u"2024/3/5 14:07:09"_qs;
    QTest::newRow("Japanese: the literal before the zone stays")
        << u"ja_JP"_qs << afternoon << u"2024/03/05 14\u664207\u520609\u79d2"_qs;
    QTest::newRow("Chakma: digits beyond the Basic Multilingual Plane become ASCII")
        << u"ccp_BD"_qs << afternoon << u"5/3/24 2:07:09 PM"_qs;
}

void DateTimeTextTest::followsTheGivenLocale()
{
    QFETCH(QString, locale);
    QFETCH(QDateTime, moment);
    QFETCH(QString, expected);

    const QLocale given(locale);
    QVERIFY2(given.timeFormat(QLocale::LongFormat).contains(u't'), "the locale's long time has no zone to drop");
    QCOMPARE(dateTimeText(moment, given), expected);
}

void DateTimeTextTest::usesTheDefaultLocaleWhenNoneIsGiven()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString text = dateTimeText(QDateTime(QDate(2024, 12, 31), QTime(23, 59, 59)));
    QLocale::setDefault(before);
    QCOMPARE(text, u"31.12.24 23:59:59"_qs);
}

QTEST_GUILESS_MAIN(DateTimeTextTest)
#include "DateTimeTextTest.moc"
