#include "RealProgramTest.h"

#include <QtTest>

// The settings store as the real program reads it at start.
class SettingsReadTest : public RealProgramTest
{
    Q_OBJECT

private slots:
    void initTestCase() { prepareFolders(); }

    void init() { clearWhatTheLastCaseLeft(); }

    // A read of the settings store that fails once: the store is opened again and its choices hold (Auto Start
    // here); or QSettings' own read of it failed, and the store is left as it is, never overwritten by defaults.
    void aFailedReadOfTheSettingsStoreNeitherLosesNorOverwritesIt_data()
    {
        QTest::addColumn<QString>("injection");
        QTest::addColumn<bool>("autoStarted");
        QTest::newRow("its opening fails once") << u"openat:error=EIO:when=1"_qs << true;
        // The program's own look at the bytes reads twice (the bytes, then the end of the file); QSettings' read
        // is the third.
        QTest::newRow("QSettings' read of it fails") << u"read:error=EIO:when=3"_qs << false;
    }

    void aFailedReadOfTheSettingsStoreNeitherLosesNorOverwritesIt()
    {
#ifdef Q_OS_UNIX
        QFETCH(QString, injection);
        QFETCH(bool, autoStarted);
        SKIP_WITHOUT_STRACE();
        const QString program = programAlone(u"settings-"_qs + QString::number(qHash(QTest::currentDataTag())));
        QVERIFY(!program.isEmpty());
        // All ten choices, so that nothing missing is written back with its default.
        QMap<QString, QString> stored{{u"AutoStart"_qs, u"1"_qs},
                                      {u"TransferDataInterval"_qs, u"4"_qs},
                                      {u"SMSStartTime"_qs, u"1"_qs},
                                      { u"TransferPersonInterval"_qs,
                                        u"3"_qs }};
        for (const QString& job : {u"CleanBackupDir"_qs, u"ProcessInternetOrders"_qs, u"RunUpdateManager"_qs,
                                   u"SendSms"_qs, u"TransferData"_qs, u"TransferPerson"_qs})
            stored.insert(job, u"0"_qs);
        QVERIFY(StoredSettings::store(u"zorScheduler"_qs, stored));
        const auto faulted =
            startTraced(u"inject="_qs + injection, {u"-P"_qs, StoredSettings::location(u"zorScheduler"_qs)}, program);
        const auto cleanUp = qScopeGuard([&faulted] { killTraced(*faulted); });
        QTRY_VERIFY_WITH_TIMEOUT(lockHolder(u"zorScheduler"_qs) > 0, 10000);
        ::kill(pid_t(lockHolder(u"zorScheduler"_qs)), SIGTERM);
        QVERIFY(faulted->waitForFinished(10000));
        QCOMPARE(storedSettings(), stored);
        const QByteArray logs = dailyLogs(program);
        QCOMPARE(logs.contains(": Timer Started!"), autoStarted);
        if (!autoStarted)
            QVERIFY2(logs.contains("its values could not be read"), logs.constData());
#else
        QSKIP("The faults come from strace, which Windows does not have");
#endif
    }
};

QTEST_GUILESS_MAIN(SettingsReadTest)
#include "SettingsReadTest.moc"
