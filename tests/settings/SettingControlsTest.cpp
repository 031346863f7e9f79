#include "ui/IndexComboBox.h"
#include "ui/ValueCheckBox.h"

#include <QSignalSpy>
#include <QTest>

// The change notifications and values of the two kinds of control the settings are kept in.
class SettingControlsTest : public QObject
{
    Q_OBJECT

private slots:
    void checkBoxValueIsNotQtsCheckState_data();
    void checkBoxValueIsNotQtsCheckState();
    void checkBoxNotifiesOnlyRealChanges();
    void clicksOnlyTickAndUntick_data();
    void clicksOnlyTickAndUntick();
    void comboNotifiesOnlyRealChanges();
};

void SettingControlsTest::checkBoxValueIsNotQtsCheckState_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<Qt::CheckState>("state");

    QTest::newRow("0 is unticked") << 0 << Qt::Unchecked;
    QTest::newRow("1 is ticked, Qt's 2") << 1 << Qt::Checked;
    QTest::newRow("2 is greyed, Qt's 1") << 2 << Qt::PartiallyChecked;
}

void SettingControlsTest::checkBoxValueIsNotQtsCheckState()
{
    QFETCH(int, value);
    QFETCH(Qt::CheckState, state);

    {
        ValueCheckBox box;
        QVERIFY(box.setValue(value));
        QCOMPARE(box.checkState(), state);
    }
    {
        ValueCheckBox box;
        box.setCheckState(state);
        QCOMPARE(box.value(), value);
    }
}

void SettingControlsTest::checkBoxNotifiesOnlyRealChanges()
{
    ValueCheckBox box;
    QSignalSpy changes(&box, &ValueCheckBox::valueChanged);

    QVERIFY(box.setValue(0));
    QCOMPARE(changes.size(), 0);

    QVERIFY(box.setValue(2));
    QVERIFY(box.setValue(2));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(changes.at(0).at(0).toInt(), 2);

    for (const int refused : {-1, 3, 5}) {
        QVERIFY(!box.setValue(refused));
        QCOMPARE(box.value(), 2);
    }
    QCOMPARE(changes.size(), 1);
}

void SettingControlsTest::clicksOnlyTickAndUntick_data()
{
    QTest::addColumn<int>("loaded");
    QTest::addColumn<QList<int>>("afterEachClick");

    QTest::newRow("from unticked") << 0 << QList<int>{1, 0, 1, 0};
    QTest::newRow("from ticked") << 1 << QList<int>{0, 1, 0, 1};
    QTest::newRow("from greyed, never back to greyed") << 2 << QList<int>{1, 0, 1, 0};
}

void SettingControlsTest::clicksOnlyTickAndUntick()
{
    QFETCH(int, loaded);
    QFETCH(QList<int>, afterEachClick);
    ValueCheckBox box;
    box.setText(u"Auto Start"_qs);
    box.resize(120, 24);
    box.show();
    QVERIFY(box.setValue(loaded));
    QSignalSpy changes(&box, &ValueCheckBox::valueChanged);

    for (qsizetype i = 0; i < afterEachClick.size(); ++i) {
        // Mouse and space bar alternate; both go through the same toggle.
        if (i % 2 == 0)
            QTest::mouseClick(&box, Qt::LeftButton);
        else
            QTest::keyClick(&box, Qt::Key_Space);
        QCOMPARE(box.value(), afterEachClick.at(i));
        QCOMPARE(changes.size(), i + 1);
        QCOMPARE(changes.last().at(0).toInt(), afterEachClick.at(i));
    }
}

void SettingControlsTest::comboNotifiesOnlyRealChanges()
{
    IndexComboBox combo;
    combo.addItems({u"8"_qs, u"9"_qs, u"10"_qs});
    QVERIFY(combo.setListIndex(-1));
    QSignalSpy changes(&combo, &IndexComboBox::listIndexChanged);

    QVERIFY(combo.setListIndex(2));
    QVERIFY(combo.setListIndex(2));
    QCOMPARE(changes.size(), 1);
    QCOMPARE(combo.list(combo.listIndex()), u"10"_qs);

    for (const int refused : {-2, 3, 10}) {
        QVERIFY(!combo.setListIndex(refused));
        QCOMPARE(combo.listIndex(), 2);
    }
    QCOMPARE(changes.size(), 1);

    QVERIFY(combo.setListIndex(-1));
    QCOMPARE(changes.size(), 2);
    QCOMPARE(changes.last().at(0).toInt(), -1);
    QCOMPARE(combo.list(-1), QString());
}

QTEST_MAIN(SettingControlsTest)
#include "SettingControlsTest.moc"
