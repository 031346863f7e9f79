#include "settings/SettingsStore.h"
#include "support/StoredSettings.h"
#include "support/TestFiles.h"
#include "support/TestWindow.h"
#include "support/WindowControls.h"
#include "ui/SchedulerWindow.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {
int controlValue(const QWidget* control)
{
    if (const auto* box = qobject_cast<const ValueCheckBox*>(control))
        return box->value();
    return qobject_cast<const IndexComboBox*>(control)->listIndex();
}
} // namespace

class SettingsTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void storeIsWhereTheOperatorsToolsFindIt();
    void firstStartStoresWhatLoadingChanged();
    void usableValuesLoadIntoTheirControls_data();
    void usableValuesLoadIntoTheirControls();
    void unusableValueGivesWayToTheDefault_data();
    void unusableValueGivesWayToTheDefault();
    void clickIsOnDiskWhenTheHandlerReturns();
    void eachControlStoresItsOwnKey_data();
    void eachControlStoresItsOwnKey();
    void comboStoresThePositionNotTheText();
    void typingIntoAComboStoresNothing_data();
    void typingIntoAComboStoresNothing();
    void anotherExecutableNameHasSettingsOfItsOwn();
    void failedWriteKeepsTheControlAndSaysWhy();
    void unreadableStoreIsLeftAsItIs_data();
    void unreadableStoreIsLeftAsItIs();
    void savingKeepsOtherSectionsButNeverADamagedStore();
    void systemWideSettingsAreNeverRead();
    void backupDatabaseIsNeverStored();

private:
    // Each case runs under an executable name of its own, so no case sees what another stored (in the registry
    // also what an earlier run of the suite stored).
    QString name() const { return m_test->platform.application->baseName(); }
    QString confPath() const { return StoredSettings::location(name()); }
    QMap<QString, QString> stored() const { return StoredSettings::values(name()); }
    SchedulerWindow& form() { return m_test->window(); }

    // The suite's own settings folder, which a case may change for a while.
    QByteArray m_configHome;
    int m_case = 0;
    std::unique_ptr<TestWindow> m_test;
};

void SettingsTest::initTestCase()
{
    m_configHome = qgetenv("XDG_CONFIG_HOME");
}

void SettingsTest::init()
{
    m_test = std::make_unique<TestWindow>(u"zorScheduler-case%1"_qs.arg(++m_case));
}

void SettingsTest::cleanup()
{
    m_test.reset();
    qputenv("XDG_CONFIG_HOME", m_configHome);
}

// Where the store is, proven from outside the program: the INI file's bytes on POSIX, and on Windows the
// registry as Windows' own reg.exe lists it.
void SettingsTest::storeIsWhereTheOperatorsToolsFindIt()
{
    const QString shippedName = u"zorScheduler"_qs;
    StoredSettings::clear(shippedName);
    QCOMPARE(GetSetting(shippedName, u"Settings"_qs, u"SMSStartTime"_qs, 2), u"2"_qs);

    QString whyNot;
    QVERIFY(SaveSetting(shippedName, u"Settings"_qs, u"AutoStart"_qs, u"1"_qs, &whyNot));
    QCOMPARE(whyNot, QString());
    QCOMPARE(GetSetting(shippedName, u"Settings"_qs, u"AutoStart"_qs, 0), u"1"_qs);
#ifdef Q_OS_WIN
    QProcess reg;
    reg.start(u"reg.exe"_qs, {u"query"_qs, StoredSettings::location(shippedName)});
    QVERIFY(reg.waitForFinished(30000));
    const QString listed = QString::fromLocal8Bit(reg.readAllStandardOutput());
    QVERIFY2(listed.contains(QRegularExpression(u"AutoStart\\s+REG_SZ\\s+1"_qs)), qPrintable(listed));
    QVERIFY2(listed.contains(u"HKEY_CURRENT_USER\\Software\\VB and VBA Program Settings\\zorScheduler\\Settings"_qs),
             qPrintable(listed));
#else
    QCOMPARE(readFile(StoredSettings::location(shippedName)), QByteArray("[Settings]\nAutoStart=1\n"));
    QCOMPARE(QFileInfo(StoredSettings::location(shippedName)).dir().entryList({shippedName + u".conf*"_qs}),
             QStringList{u"zorScheduler.conf"_qs});
#endif
    StoredSettings::clear(shippedName);
}

void SettingsTest::firstStartStoresWhatLoadingChanged()
{
    form().LoadSettings();

    QCOMPARE(box(form(), "chkAutoStart")->value(), 0);
    for (const ValueCheckBox* box :
         {box(form(), "chkCleanBackupDir"), box(form(), "chkProcessInternetOrders"), box(form(), "chkRunUpdateManager"),
          box(form(), "chkSendSms"), box(form(), "chkTransferData"), box(form(), "chkTransferPerson")})
        QVERIFY2(box->value() == 1, qPrintable(box->objectName()));
    for (const IndexComboBox* combo :
         {combo(form(), "cmbMIn"), combo(form(), "cmbSMSTime"), combo(form(), "cmbTransferMin")})
        QVERIFY2(combo->listIndex() == 2, qPrintable(combo->objectName()));

    const QMap<QString, QString> expected{
        {u"ProcessInternetOrders"_qs, u"1"_qs}, {u"SendSms"_qs, u"1"_qs},      {u"TransferPerson"_qs, u"1"_qs},
        {u"TransferDataInterval"_qs, u"2"_qs},  {u"SMSStartTime"_qs, u"2"_qs}, {u"TransferPersonInterval"_qs, u"2"_qs},
    };
    QCOMPARE(stored(), expected);
    QCOMPARE(m_test->paneLines(), QStringList());
}

void SettingsTest::usableValuesLoadIntoTheirControls_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("expected");

    QTest::newRow("a stored 0 unticks a box ticked by default") << u"SendSms"_qs << u"0"_qs << u"chkSendSms"_qs << 0;
    QTest::newRow("a stored 1 ticks the auto start") << u"AutoStart"_qs << u"1"_qs << u"chkAutoStart"_qs << 1;
    QTest::newRow("a stored 2 greys a box") << u"TransferData"_qs << u"2"_qs << u"chkTransferData"_qs << 2;
    QTest::newRow("-1 leaves a combo without entry") << u"SMSStartTime"_qs << u"-1"_qs << u"cmbSMSTime"_qs << -1;
    QTest::newRow("the last position of a ten-entry list")
        << u"TransferDataInterval"_qs << u"9"_qs << u"cmbMIn"_qs << 9;
    QTest::newRow("cmbTransferMin is stored under TransferPersonInterval")
        << u"TransferPersonInterval"_qs << u"0"_qs << u"cmbTransferMin"_qs << 0;
    QTest::newRow("blanks around the number") << u"TransferPerson"_qs << u" 0 "_qs << u"chkTransferPerson"_qs << 0;
    QTest::newRow("a leading plus") << u"SMSStartTime"_qs << u"+4"_qs << u"cmbSMSTime"_qs << 4;
    QTest::newRow("leading zeros") << u"RunUpdateManager"_qs << u"00"_qs << u"chkRunUpdateManager"_qs << 0;
}

void SettingsTest::usableValuesLoadIntoTheirControls()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, control);
    QFETCH(int, expected);
    QVERIFY(StoredSettings::store(name(), {{key, value}}));

    form().LoadSettings();

    QCOMPARE(controlValue(form().findChild<QWidget*>(control)), expected);
    QCOMPARE(m_test->paneLines(), QStringList());
}

void SettingsTest::unusableValueGivesWayToTheDefault_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("defaultValue");

    QTest::newRow("letters instead of digits") << u"SendSms"_qs << u"abc"_qs << u"abc"_qs << u"chkSendSms"_qs << 1;
    QTest::newRow("an empty text where the default equals the box as created")
        << u"AutoStart"_qs << QString() << QString() << u"chkAutoStart"_qs << 0;
    QTest::newRow("a number above 32767")
        << u"TransferDataInterval"_qs << u"32768"_qs << u"32768"_qs << u"cmbMIn"_qs << 2;
    QTest::newRow("a number below -32768")
        << u"TransferPerson"_qs << u"-32769"_qs << u"-32769"_qs << u"chkTransferPerson"_qs << 1;
    QTest::newRow("5 under a check-box key")
        << u"CleanBackupDir"_qs << u"5"_qs << u"5"_qs << u"chkCleanBackupDir"_qs << 1;
    QTest::newRow("10 under SMSStartTime, whose list has five entries")
        << u"SMSStartTime"_qs << u"10"_qs << u"10"_qs << u"cmbSMSTime"_qs << 2;
    QTest::newRow("-2 under a combo key")
        << u"TransferPersonInterval"_qs << u"-2"_qs << u"-2"_qs << u"cmbTransferMin"_qs << 2;
    QTest::newRow("a fraction") << u"RunUpdateManager"_qs << u"1.5"_qs << u"1.5"_qs << u"chkRunUpdateManager"_qs << 1;
    QTest::newRow("a value with a comma, which an INI file gives as a list")
        << u"ProcessInternetOrders"_qs << u"1,2"_qs << u"1,2"_qs << u"chkProcessInternetOrders"_qs << 1;
    QTest::newRow("a line break is not carried into the pane")
        << u"SendSms"_qs << u"1\n2"_qs << u"1?2"_qs << u"chkSendSms"_qs << 1;
}

void SettingsTest::unusableValueGivesWayToTheDefault()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QString, shown);
    QFETCH(QString, control);
    QFETCH(int, defaultValue);
    // TransferData=0 stands for the rows that load as usual around the refused one.
    QVERIFY(StoredSettings::store(name(), {{u"TransferData"_qs, u"0"_qs}, {key, value}}));

    form().Form_Load();

    QVERIFY(form().windowTitle().contains(u"Version"_qs));
    QCOMPARE(controlValue(form().findChild<QWidget*>(control)), defaultValue);
    QCOMPARE(box(form(), "chkTransferData")->value(), 0);
    const QMap<QString, QString> onDisk = stored();
    QCOMPARE(onDisk.value(key), QString::number(defaultValue));
    QCOMPARE(onDisk.value(u"TransferData"_qs), u"0"_qs);

    const QStringList lines = m_test->paneLines().filter(u": Setting "_qs);
    QCOMPARE(lines.size(), 1);
    QVERIFY2(
        lines.constFirst().contains(u": Setting \""_qs + key + u"\" held the unusable value \""_qs + shown + u"\""_qs),
        qPrintable(lines.constFirst()));

    // The next start is clean.
    m_test->restart();
    form().Form_Load();
    QCOMPARE(m_test->paneLines().filter(u": Setting "_qs), QStringList());
}

void SettingsTest::clickIsOnDiskWhenTheHandlerReturns()
{
    QVERIFY(StoredSettings::store(name(), {{u"SendSms"_qs, u"0"_qs}}));
    form().LoadSettings();
    QCOMPARE(box(form(), "chkSendSms")->value(), 0);
    form().show();

    QTest::mouseClick(box(form(), "chkSendSms"), Qt::LeftButton);

    // No event has been processed since the click: the value went to disk inside the handler.
    QCOMPARE(box(form(), "chkSendSms")->value(), 1);
    QCOMPARE(stored().value(u"SendSms"_qs), u"1"_qs);

    // Changed and changed back: the last write equals the box, and closing writes nothing more.
    QTest::mouseClick(box(form(), "chkSendSms"), Qt::LeftButton);
    const QMap<QString, QString> before = stored();
    QCOMPARE(before.value(u"SendSms"_qs), u"0"_qs);
    m_test->restart();
    QCOMPARE(stored(), before);
}

// The operator's click on each of the ten controls stores its own key, with the control's new value, and
// nothing else.
void SettingsTest::eachControlStoresItsOwnKey_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("key");
    const QString pairs[][2] = {
        {u"chkAutoStart"_qs, u"AutoStart"_qs},
        {u"chkCleanBackupDir"_qs, u"CleanBackupDir"_qs},
        {u"chkProcessInternetOrders"_qs, u"ProcessInternetOrders"_qs},
        {u"chkRunUpdateManager"_qs, u"RunUpdateManager"_qs},
        {u"chkSendSms"_qs, u"SendSms"_qs},
        {u"chkTransferData"_qs, u"TransferData"_qs},
        {u"chkTransferPerson"_qs, u"TransferPerson"_qs},
        {u"cmbMIn"_qs, u"TransferDataInterval"_qs},
        {u"cmbSMSTime"_qs, u"SMSStartTime"_qs},
        {u"cmbTransferMin"_qs, u"TransferPersonInterval"_qs},
    };
    for (const auto& [control, key] : pairs)
        QTest::newRow(qPrintable(control)) << control << key;
}

void SettingsTest::eachControlStoresItsOwnKey()
{
    QFETCH(QString, control);
    QFETCH(QString, key);
    form().LoadSettings();
    form().show();
    QMap<QString, QString> expected = stored();
    QWidget* widget = form().findChild<QWidget*>(control);
    QVERIFY(widget);

    if (auto* checkBox = qobject_cast<ValueCheckBox*>(widget))
        QTest::mouseClick(checkBox, Qt::LeftButton);
    else
        QTest::keyClick(widget, Qt::Key_Down);
    expected.insert(key, QString::number(controlValue(widget)));
    QCOMPARE(stored(), expected);
    QVERIFY(stored().value(key) != m_test->platform.application->baseName()); // a value was written
}

void SettingsTest::comboStoresThePositionNotTheText()
{
    form().LoadSettings();
    form().show();

    QTest::keyClick(combo(form(), "cmbSMSTime"), Qt::Key_Home);
    QCOMPARE(combo(form(), "cmbSMSTime")->list(combo(form(), "cmbSMSTime")->listIndex()), u"8"_qs);
    QCOMPARE(stored().value(u"SMSStartTime"_qs), u"0"_qs);

    // Picking from an editable box by keyboard is still picking: the arrow moves from "3" to "4".
    QTest::keyClick(combo(form(), "cmbMIn"), Qt::Key_Down);
    QCOMPARE(combo(form(), "cmbMIn")->listIndex(), 3);
    QCOMPARE(stored().value(u"TransferDataInterval"_qs), u"3"_qs);
}

void SettingsTest::typingIntoAComboStoresNothing_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("pressEnter");

    QTest::newRow("cmbMIn, another entry's text, Enter") << u"cmbMIn"_qs << u"5"_qs << true;
    QTest::newRow("cmbMIn, another entry's text, focus leaves") << u"cmbMIn"_qs << u"5"_qs << false;
    QTest::newRow("cmbMIn, a number not in the list, Enter") << u"cmbMIn"_qs << u"42"_qs << true;
    QTest::newRow("cmbTransferMin, another entry's text, Enter") << u"cmbTransferMin"_qs << u"10"_qs << true;
    QTest::newRow("cmbTransferMin, another entry's text, focus leaves") << u"cmbTransferMin"_qs << u"10"_qs << false;
    QTest::newRow("cmbTransferMin, words, Enter") << u"cmbTransferMin"_qs << u"every hour"_qs << true;
}

void SettingsTest::typingIntoAComboStoresNothing()
{
    QFETCH(QString, control);
    QFETCH(QString, typed);
    QFETCH(bool, pressEnter);
    auto* combo = form().findChild<IndexComboBox*>(control);
    form().LoadSettings();
    form().show();
    QVERIFY(QTest::qWaitForWindowActive(&form()));
    const QMap<QString, QString> before = stored();
    QSignalSpy selections(combo, &IndexComboBox::listIndexChanged);

    combo->setFocus();
    QTRY_VERIFY(combo->hasFocus());
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, typed);
    if (pressEnter) {
        QTest::keyClick(combo, Qt::Key_Return);
        QCOMPARE(combo->listIndex(), 2);
    }
    box(form(), "chkAutoStart")->setFocus();
    QTRY_VERIFY(!combo->hasFocus());

    QCOMPARE(combo->lineEdit()->text(), typed);
    QCOMPARE(combo->listIndex(), 2);
    QCOMPARE(combo->count(), 10);
    QCOMPARE(selections.size(), 0);
    QCOMPARE(stored(), before);
}

void SettingsTest::anotherExecutableNameHasSettingsOfItsOwn()
{
    const QString firstName = name();
    form().LoadSettings();
    box(form(), "chkSendSms")->setValue(0);
    const QMap<QString, QString> first = StoredSettings::values(firstName);
    QCOMPARE(first.value(u"SendSms"_qs), u"0"_qs);

    const QString copyName = firstName + u"-copy"_qs;
    StoredSettings::clear(copyName);
    m_test->platform.application->setBaseName(copyName);
    auto copy = std::make_unique<SchedulerWindow>(m_test->platform.platform());
    copy->LoadSettings();

    QCOMPARE(box(*copy, "chkSendSms")->value(), 1);
    QCOMPARE(StoredSettings::values(copyName).keys(),
             (QStringList{u"ProcessInternetOrders"_qs, u"SMSStartTime"_qs, u"SendSms"_qs, u"TransferDataInterval"_qs,
                          u"TransferPerson"_qs, u"TransferPersonInterval"_qs}));
    QCOMPARE(StoredSettings::values(firstName), first);

    // The name is asked at every write, not remembered from the start.
    box(form(), "chkAutoStart")->setValue(1);
    QCOMPARE(StoredSettings::values(copyName).value(u"AutoStart"_qs), u"1"_qs);
    QCOMPARE(StoredSettings::values(firstName), first);
    StoredSettings::clear(copyName);
}

void SettingsTest::failedWriteKeepsTheControlAndSaysWhy()
{
#ifndef Q_OS_UNIX
    QSKIP("The registry has no key that its own user may open but not write to");
#endif
    // A folder that takes no new file, whoever runs the test: the store is found empty, and only the write
    // that should bring the value to disk fails.
    qputenv("XDG_CONFIG_HOME", "/proc/self");
    const QString store = u"/proc/self/"_qs + m_test->platform.application->baseName() + u".conf"_qs;
    form().LoadSettings();
    QCOMPARE(box(form(), "chkSendSms")->value(), 1);
    form().show();

    QTest::mouseClick(box(form(), "chkSendSms"), Qt::LeftButton);

    QCOMPARE(box(form(), "chkSendSms")->value(), 0);
    const QString expected = u": Setting \"SendSms\" could not be saved as 0: "_qs + store + u" cannot be written."_qs;
    QVERIFY2(m_test->newestLine().endsWith(expected), qPrintable(m_test->newestLine()));
    QVERIFY(!QFileInfo::exists(store));
}

void SettingsTest::unreadableStoreIsLeftAsItIs_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("reason");
    const QByteArray settings("[Settings]\nAutoStart=1\nSendSms=0\n");
    QTest::newRow("a folder") << u"folder"_qs << QByteArray() << u"it is not a regular file"_qs;
    QTest::newRow("a FIFO, which must not be opened") << u"fifo"_qs << QByteArray() << u"it is not a regular file"_qs;
    QTest::newRow("a link to /dev/null") << u"null"_qs << QByteArray() << u"it is not a regular file"_qs;
    QTest::newRow("a file without read permission") << u"unreadable"_qs << settings << QString();

    // Stores that open but cannot be parsed whole: QSettings would make a few values of them and, at the first
    // save, replace the file by these.
    QByteArray garbage(10 * 1024 * 1024, '\0');
    QRandomGenerator random(20261207);
    random.fillRange(reinterpret_cast<quint32*>(garbage.data()), garbage.size() / 4);
    QTest::newRow("10 MB of random bytes, not read at all")
        << u"file"_qs << garbage << u"it holds 10485760 bytes, more than the 65536"_qs;
    QTest::newRow("binary bytes after the settings")
        << u"file"_qs << QByteArray(settings + QByteArray("\0\x01[\x7f=", 5)) << u"it holds binary data, not text"_qs;
    QTest::newRow("a line without '='") << u"file"_qs << QByteArray(settings + "SendSms 1\r\n")
                                        << u"line 4 is neither a [section], a key=value pair nor a ; comment"_qs;
    QTest::newRow("a section without ']'")
        << u"file"_qs << QByteArray("[Settings\nAutoStart=1\n") << u"line 1 is neither a [section]"_qs;
}

// A store that is there but cannot be read must not pass for an empty one: the defaults would switch Auto
// Start off and, written back, overwrite the operator's choices for good.
void SettingsTest::unreadableStoreIsLeftAsItIs()
{
#ifndef Q_OS_UNIX
    QSKIP("A registry key cannot be a folder, a FIFO or a link; these are the file system's");
#endif
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    if (kind == u"folder"_qs) {
        QVERIFY(QDir().mkpath(confPath()));
    } else if (kind == u"fifo"_qs) {
        QVERIFY(makeFifo(confPath()));
    } else if (kind == u"null"_qs) {
        QVERIFY(QFile::link(u"/dev/null"_qs, confPath()));
    } else {
        QVERIFY(writeFile(confPath(), bytes));
    }
    if (kind == u"unreadable"_qs) {
        QVERIFY(QFile::setPermissions(confPath(), QFileDevice::Permissions()));
        if (QFile(confPath()).open(QIODevice::ReadOnly))
            QSKIP("This user reads files whatever their permissions say");
    }
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"^The settings store .* cannot be read"_qs));

    form().LoadSettings();

    QCOMPARE(box(form(), "chkAutoStart")->value(), 0);
    QCOMPARE(box(form(), "chkSendSms")->value(), 1);
    QCOMPARE(combo(form(), "cmbSMSTime")->listIndex(), 2);
    const QStringList lines = m_test->paneLines();
    QCOMPARE(lines.size(), 1);
    QVERIFY2(lines.constFirst().contains(u": The settings store "_qs + confPath() + u" cannot be read ("_qs + reason) &&
                 lines.constFirst().endsWith(u"); the defaults are in use and no change is saved."_qs),
             qPrintable(lines.constFirst()));

    // The operator's change holds for this run, is not saved, and the pane says so.
    form().show();
    QTest::mouseClick(box(form(), "chkSendSms"), Qt::LeftButton);
    QCOMPARE(box(form(), "chkSendSms")->value(), 0);
    QVERIFY2(m_test->newestLine().endsWith(
                 u": Setting \"SendSms\" was not saved as 0: the settings store could not be read at start."_qs),
             qPrintable(m_test->newestLine()));

    const QFileInfo store(confPath());
    if (kind == u"folder"_qs) {
        QVERIFY(store.isDir());
    } else if (kind == u"fifo"_qs) {
        QVERIFY(store.exists() && !store.isFile() && !store.isSymLink());
    } else if (kind == u"null"_qs) {
        QCOMPARE(store.symLinkTarget(), u"/dev/null"_qs);
    } else {
        QVERIFY(QFile::setPermissions(confPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
        QVERIFY(readFile(confPath()) == bytes);
    }
}

// Sections and comments of others do not make a store unreadable; saving keeps the sections (QSettings drops
// comments). A store damaged while the program runs is not saved over either.
void SettingsTest::savingKeepsOtherSectionsButNeverADamagedStore()
{
#ifndef Q_OS_UNIX
    QSKIP("The registry holds keys, not a file of sections");
#endif
    QVERIFY(
        writeFile(confPath(), "; kept by hand\n[General]\nx=1\n[Settings]\nSendSms=0 ; off\n[Other]\nkey=\"a;b\"\n"));
    form().LoadSettings();
    QCOMPARE(box(form(), "chkSendSms")->value(), 0);
    QCOMPARE(m_test->paneLines(), QStringList());
    form().show();
    QTest::mouseClick(box(form(), "chkSendSms"), Qt::LeftButton);
    QCOMPARE(stored().value(u"SendSms"_qs), u"1"_qs);
    const QByteArray saved = readFile(confPath());
    QVERIFY2(saved.contains("[General]\nx=1\n") && saved.contains("[Other]\nkey=\"a;b\"\n"), saved.constData());

    const QByteArray damaged = saved + QByteArray("\0garbage", 8);
    QVERIFY(writeFile(confPath(), damaged));
    QTest::mouseClick(box(form(), "chkSendSms"), Qt::LeftButton);
    QVERIFY2(m_test->newestLine().endsWith(u": Setting \"SendSms\" could not be saved as 0: "_qs + confPath() +
                                           u" cannot be read (it holds binary data, not text)."_qs),
             qPrintable(m_test->newestLine()));
    QCOMPARE(readFile(confPath()), damaged);
}

void SettingsTest::systemWideSettingsAreNeverRead()
{
#ifndef Q_OS_UNIX
    QSKIP("$XDG_CONFIG_DIRS is where POSIX systems keep system-wide settings");
#endif
    // What an administrator puts in the system-wide folders does not pose as the operator's own choice.
    QTemporaryDir system;
    const QString name = m_test->platform.application->baseName();
    for (const QString& file : QStringList{name + u".conf"_qs, name + u"/"_qs + name + u".conf"_qs}) {
        QVERIFY(QDir().mkpath(QFileInfo(system.filePath(file)).path()));
        QVERIFY(writeFile(system.filePath(file), "[Settings]\nAutoStart=1\nSendSms=0\n"));
    }
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(system.path()));
    form().LoadSettings();
    qunsetenv("XDG_CONFIG_DIRS");

    QCOMPARE(box(form(), "chkAutoStart")->value(), 0);
    QCOMPARE(box(form(), "chkSendSms")->value(), 1);
}

void SettingsTest::backupDatabaseIsNeverStored()
{
    form().LoadSettings();
    form().show();
    const QMap<QString, QString> before = stored();

    QTest::mouseClick(box(form(), "chkBackupDatabase"), Qt::LeftButton);
    QCOMPARE(box(form(), "chkBackupDatabase")->value(), 0);
    QCOMPARE(stored(), before);

    m_test->restart();
    form().LoadSettings();
    QCOMPARE(box(form(), "chkBackupDatabase")->value(), 1);
}

QTEST_MAIN(SettingsTest)
#include "SettingsTest.moc"
