#include "settings/SettingsTable.h"

#include <QTest>

#include <optional>

class SettingsTableTest : public QObject
{
    Q_OBJECT

private slots:
    void storedTextBecomesANumber_data();
    void storedTextBecomesANumber();
};

void SettingsTableTest::storedTextBecomesANumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<std::int16_t>>("expected");

    const auto number = [](int value) { return std::optional<std::int16_t>(static_cast<std::int16_t>(value)); };
    const std::optional<std::int16_t> refused;

    QTest::newRow("a plain digit") << u"1"_qs << number(1);
    QTest::newRow("minus one, the combo's no-entry") << u"-1"_qs << number(-1);
    QTest::newRow("blanks and tabs around the number") << u" \t2 "_qs << number(2);
    QTest::newRow("a leading plus") << u"+2"_qs << number(2);
    QTest::newRow("leading zeros") << u"007"_qs << number(7);
    QTest::newRow("the largest 16-bit number") << u"32767"_qs << number(32767);
    QTest::newRow("the smallest 16-bit number") << u"-32768"_qs << number(-32768);
    QTest::newRow("minus zero") << u"-0"_qs << number(0);
    QTest::newRow("zeros in front of the largest number") << u"00032767"_qs << number(32767);

    QTest::newRow("an empty text") << QString() << refused;
    QTest::newRow("only blanks") << u"   "_qs << refused;
    QTest::newRow("letters") << u"abc"_qs << refused;
    QTest::newRow("a sign alone") << u"-"_qs << refused;
    QTest::newRow("two signs") << u"+-1"_qs << refused;
    QTest::newRow("one above the 16-bit range") << u"32768"_qs << refused;
    QTest::newRow("one below the 16-bit range") << u"-32769"_qs << refused;
    QTest::newRow("far beyond any integer type") << u"99999999999999999999999"_qs << refused;
    QTest::newRow("a fraction") << u"1.5"_qs << refused;
    QTest::newRow("a whole number written as a fraction") << u"1.0"_qs << refused;
    QTest::newRow("an exponent") << u"1e1"_qs << refused;
    QTest::newRow("hexadecimal") << u"0x1"_qs << refused;
    QTest::newRow("a blank inside the number") << u"1 2"_qs << refused;
    QTest::newRow("digits followed by letters") << u"12abc"_qs << refused;
    QTest::newRow("Arabic-Indic digits") << u"\u0661"_qs << refused;
}

void SettingsTableTest::storedTextBecomesANumber()
{
    QFETCH(QString, text);
    QFETCH(std::optional<std::int16_t>, expected);

    QCOMPARE(settingValueFromText(text), expected);
}

QTEST_GUILESS_MAIN(SettingsTableTest)
#include "SettingsTableTest.moc"
