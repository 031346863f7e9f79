#include "platform/FilePaths.h"
#include "support/SystemCodePage.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QtTest>

#include <sstream>

#include "TestLog.h"

#ifdef Q_OS_UNIX
#include "support/FileSizeLimit.h"
#endif

class ActivityLogTest : public QObject
{
    Q_OBJECT

private:
    using Log = TestLog;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void newestLineComesFirst();
    void linesReachTheShownPaneOnce();
    void archivesOfOneDayFollowEachOther();
    void archiveOfAnEmptyPane();
    void archiveAfterMidnightGoesToTheNewDay();
    void anArchiveTheDaysFileCannotTake_data();
    void anArchiveTheDaysFileCannotTake();
    void writeLogNamesTheDailyFile();
    void archiveIsWrittenInTheAnsiCodePage();
    void anArchiveCutShortLeavesNoHalfEntry();
    void archiveAtExit_data();
    void archiveAtExit();
};

void ActivityLogTest::newestLineComesFirst()
{
    Log l;
    l.at(7, 9, 0, 5);
    l.log.AddLogLine(QStringLiteral(": Timer Started!"));
    // Shown before the next line comes, which then goes above it, waiting or shown.
    QCoreApplication::processEvents();
    l.at(7, 9, 1, 5);
    l.log.AddLogLine(QStringLiteral(": Process Internet Orders!"));
    const QString expected = QStringLiteral("12/7/26 9:01:05 AM: Process Internet Orders!\r\n"
                                            "12/7/26 9:00:05 AM: Timer Started!\r\n");
    QCOMPARE(l.pane.text(), expected);
    QCoreApplication::processEvents();
    QCOMPARE(l.pane.text(), expected);
}

// The pane shows a tick's lines once the event loop runs again; an archive in between takes them, and they are
// then neither shown nor archived a second time.
void ActivityLogTest::linesReachTheShownPaneOnce()
{
    Log l;
    l.at(7, 9, 0, 5);
    l.log.AddLogLine(QStringLiteral(": Timer Started!"));
    l.log.AddLogLine(QStringLiteral(": Process Internet Orders!"));
    QCoreApplication::processEvents();
    QCOMPARE(l.pane.toPlainText(), QStringLiteral("12/7/26 9:00:05 AM: Process Internet Orders!\n"
                                                  "12/7/26 9:00:05 AM: Timer Started!\n"));

    l.log.AddLogLine(QStringLiteral(": Timer Stopped!"));
    QVERIFY(l.log.ClearLog());
    QCoreApplication::processEvents();
    QCOMPARE(l.pane.toPlainText(), QString());
    QCOMPARE(readFile(l.file(7)), QByteArray("12/7/26 9:00:05 AM\t12/7/26 9:00:05 AM: Timer Stopped!\r\n"
                                             "12/7/26 9:00:05 AM: Process Internet Orders!\r\n"
                                             "12/7/26 9:00:05 AM: Timer Started!\r\n"
                                             "\r\n"));
}

void ActivityLogTest::archivesOfOneDayFollowEachOther()
{
    Log l;
    l.at(7, 9, 0, 5);
    l.log.AddLogLine(QStringLiteral(": Timer Started!"));
    l.at(7, 9, 1, 5);
    l.log.AddLogLine(QStringLiteral(": Process Internet Orders!"));
    l.at(7, 9, 2, 0);
    QVERIFY(l.log.ClearLog());
    QVERIFY(l.pane.isEmpty());
    l.at(7, 13, 30, 0);
    l.log.AddLogLine(QStringLiteral(": Timer Stopped!"));
    l.at(7, 13, 31, 0);
    QVERIFY(l.log.ClearLog());

    QCOMPARE(readFile(l.file(7)), QByteArray("12/7/26 9:02:00 AM\t12/7/26 9:01:05 AM: Process Internet Orders!\r\n"
                                             "12/7/26 9:00:05 AM: Timer Started!\r\n"
                                             "\r\n"
                                             "12/7/26 1:31:00 PM\t12/7/26 1:30:00 PM: Timer Stopped!\r\n"
                                             "\r\n"));
    QCOMPARE(l.pane.text(), QString());
}

void ActivityLogTest::archiveOfAnEmptyPane()
{
    Log l;
    l.at(7, 7, 0, 10);
    QVERIFY(l.log.ClearLog());
    QCOMPARE(readFile(l.file(7)), QByteArray("12/7/26 7:00:10 AM\t\r\n"));
}

void ActivityLogTest::archiveAfterMidnightGoesToTheNewDay()
{
    Log l;
    l.at(7, 23, 59, 50);
    l.log.AddLogLine(QStringLiteral(": Timer Started!"));
    l.at(8, 0, 0, 10);
    QVERIFY(l.log.ClearLog());
    QVERIFY(!QFile::exists(l.file(7)));
    QCOMPARE(readFile(l.file(8)), QByteArray("12/8/26 12:00:10 AM\t12/7/26 11:59:50 PM: Timer Started!\r\n\r\n"));
}

// The archive of Clear Log and 07:00 when the day's file cannot take it: the state folder's file of the same name
// does, and the emptied pane says so; when that cannot either, the pane keeps its lines and says why for each,
// in lines that a program folder's name cannot forge. What is in the day's file's place stays as it was.
void ActivityLogTest::anArchiveTheDaysFileCannotTake_data()
{
    QTest::addColumn<QString>("inItsPlace"); // "no Temp", "folder", or what putInTheWay() makes
    QTest::addColumn<bool>("fallbackUsable");
    QTest::addColumn<QString>("reason"); // when the state folder's file takes it; any when empty
    QTest::addColumn<QString>("folderName");
    QTest::addColumn<QString>("shownName");
    const QString zor = QStringLiteral("zor");
    QTest::newRow("no Temp folder") << u"no Temp"_qs << true << QString() << zor << zor;
    QTest::newRow("a link to a private file")
        << u"link"_qs << true << u"a symbolic link is in its place"_qs << zor << zor;
    QTest::newRow("another user's file") << u"another user's"_qs << true << u"it belongs to another user"_qs << zor
                                         << zor;
    QTest::newRow("no Temp, nor the state folder's file") << u"no Temp"_qs << false << QString() << zor << zor;
    QTest::newRow("a folder in the day's file's place, nor the state folder's file")
        << u"folder"_qs << false << QString() << zor << zor;
    QTest::newRow("no Temp, nor the state folder's file, in a program folder whose name forges a line")
        << u"no Temp"_qs << false << QString()
        << QStringLiteral("zor\r\n12/7/26 8:00:00 AM: Timer Stopped!\u202E\u0633\u200c\xff")
        << QStringLiteral("zor<U+000D><U+000A>12/7/26 8:00:00 AM: Timer Stopped!<U+202E>\u0633\u200c\xff");
}

void ActivityLogTest::anArchiveTheDaysFileCannotTake()
{
    QFETCH(QString, inItsPlace);
    QFETCH(bool, fallbackUsable);
    QFETCH(QString, reason);
    QFETCH(QString, folderName);
    QFETCH(QString, shownName);
    Log l;
    l.platform.application->setDirectory(l.platform.path(folderName));
    const QString temp = fileInDirectory(l.platform.application->directory(), QStringLiteral("Temp"));
    const QString file = fileInDirectory(temp, QStringLiteral("zorScheduler-LOG-2026-12-07.log"));
    const QString fallback = l.platform.path(QStringLiteral("state/zorScheduler-LOG-2026-12-07.log"));
    QVERIFY(inItsPlace == u"no Temp"_qs || QDir().mkpath(inItsPlace == u"folder"_qs ? file : temp));
    const QString notMade = putInTheWay(inItsPlace, file, l.platform.path(QStringLiteral("private")), "private\r\n");
    if (!notMade.isEmpty())
        QSKIP(qPrintable(notMade));
    if (!fallbackUsable)
        QVERIFY(QDir().mkpath(fallback));
    l.at(7, 9, 0, 5);
    l.log.AddLogLine(QStringLiteral(": Timer Started!"));
    l.at(7, 9, 1, 0);

    QCOMPARE(l.log.ClearLog(), fallbackUsable);
    const QStringList lines = l.pane.text().split(QStringLiteral("\r\n"));
    const QString shownFile =
        QString(file).replace(QDir::toNativeSeparators(folderName), QDir::toNativeSeparators(shownName));
    if (fallbackUsable) {
        QCOMPARE(readFile(fallback), QByteArray("12/7/26 9:01:00 AM\t12/7/26 9:00:05 AM: Timer Started!\r\n\r\n"));
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(u"12/7/26 9:01:00 AM: The log pane could not be archived to "_qs + shownFile +
                                     u" ("_qs + reason) &&
                     lines[0].endsWith(u"); its lines went to "_qs + fallback + u"."_qs),
                 qPrintable(lines[0]));
        QVERIFY(inItsPlace == u"no Temp"_qs || readFile(file) == "private\r\n");
        return;
    }
    QCOMPARE(lines.size(), 4);
    // The day's file's line on top, then the state folder's, each naming its file.
    QVERIFY2(lines[0].startsWith(u"12/7/26 9:01:00 AM: Log archive failed: "_qs) &&
                 lines[0].endsWith(u' ' + shownFile) && lines[1].endsWith(u' ' + fallback),
             qPrintable(lines.join(u'|')));
    QCOMPARE(lines[2], QStringLiteral("12/7/26 9:00:05 AM: Timer Started!"));

    // Once the day's file can take them, the next archive takes every line, the failures' included. (Windows
    // makes no folder whose name holds CR LF: the forged name's row ends here.)
    if (folderName != shownName)
        return;
    QVERIFY(inItsPlace == u"no Temp"_qs ? QDir().mkpath(temp) : QDir(file).removeRecursively());
    QVERIFY(l.log.ClearLog());
    QCOMPARE(readFile(file).count("\r\n"), 4);
}

void ActivityLogTest::writeLogNamesTheDailyFile()
{
    Log l;
    l.at(7, 10, 0, 0);
    const LogWrite daily = l.log.WriteLog(QStringLiteral("entry"));
    QVERIFY(daily.result.written);
    QCOMPARE(daily.file, QDir::toNativeSeparators(l.file(7)));

    // A named file is used as it is.
    const QString other = l.platform.path(QStringLiteral("Temp/other.log"));
    const LogWrite named = l.log.WriteLog(QStringLiteral("entry"), other, false);
    QVERIFY(named.result.written);
    QCOMPARE(named.file, other);
    QCOMPARE(readFile(other), QByteArray("12/7/26 10:00:00 AM\tentry\r\n"));
}

void ActivityLogTest::archiveIsWrittenInTheAnsiCodePage()
{
    Log l;
    l.at(7, 10, 0, 0);
    l.log.AddLogLine(QStringLiteral(": \u0633\u0644\u0627\u0645 \u20ac \u4e2d"));
    QVERIFY(l.log.ClearLog());
    // Windows-1256: seen, lam, alef; the euro sign at 0x80; a CJK character it cannot hold becomes "?". A
    // Western system's Windows-1252 has the euro sign alone.
    const QByteArray words = systemCodePage() == 1256 ? QByteArray("\xd3\xe1\xc7\xe3") : QByteArray("????");
    if (systemCodePage() != 1256 && systemCodePage() != 1252)
        QSKIP("The system's code page is neither the Persian nor the Western one");
    QCOMPARE(readFile(l.file(7)), "12/7/26 10:00:00 AM\t12/7/26 10:00:00 AM: " + words + " \x80 ?\r\n\r\n");
}

// The disk fills up during the 07:00 archive, and is freed before the next one: the file never holds half an
// entry, and no line reaches it twice.
void ActivityLogTest::anArchiveCutShortLeavesNoHalfEntry()
{
#ifdef Q_OS_UNIX
    Log l;
    l.at(7, 6, 0, 0);
    l.log.AddLogLine(QStringLiteral(": Timer Started!"));
    QVERIFY(l.log.ClearLog());
    const QByteArray before = readFile(l.file(7));
    for (int minute = 1; minute < 60; ++minute) {
        l.at(7, 6, minute, 30);
        l.log.AddLogLine(QStringLiteral(": Process Internet Orders!"));
    }

    l.at(7, 7, 0, 30);
    {
        const FileSizeLimit full(rlim_t(before.size()) + 1000);
        QVERIFY(!l.log.ClearLog());
    }
    // The limit holds for the state folder's file too: neither keeps a part of the entry.
    QCOMPARE(readFile(l.file(7)), before);
    QVERIFY(readFile(l.platform.path(u"state/zorScheduler-LOG-2026-12-07.log"_qs)).isEmpty());
    const QString failure = l.pane.text().section(QStringLiteral("\r\n"), 0, 0);
    QVERIFY2(failure.startsWith(QStringLiteral("12/7/26 7:00:30 AM: Log archive failed: ")) &&
                 failure.contains(QStringLiteral("; the 1000 bytes written were taken back ")),
             qPrintable(failure));

    l.at(7, 8, 0, 0);
    QVERIFY(l.log.ClearLog());
    const QByteArray after = readFile(l.file(7));
    QVERIFY(after.startsWith(before));
    const QByteArray entry = after.mid(before.size());
    QVERIFY(entry.startsWith("12/7/26 8:00:00 AM\t12/7/26 7:00:30 AM: Log archive failed: "));
    QCOMPARE(entry.count("Process Internet Orders!"), 59);
    // The 59 lines, the line of each file's failure, and the entry's empty line.
    QCOMPARE(entry.count("\r\n"), 62);
#else
    QSKIP("A file-size limit is a POSIX resource limit");
#endif
}

void ActivityLogTest::archiveAtExit_data()
{
    QTest::addColumn<bool>("tempFolder");
    QTest::addColumn<bool>("stateFolderUsable");
    QTest::addColumn<QString>("wentTo"); // "daily", "state" or "errors"

    QTest::newRow("the day's file takes the pane") << true << true << u"daily"_qs;
    QTest::newRow("no Temp folder: the user's state folder") << false << true << u"state"_qs;
    QTest::newRow("neither: standard error") << false << false << u"errors"_qs;
}

void ActivityLogTest::archiveAtExit()
{
    QFETCH(bool, tempFolder);
    QFETCH(bool, stateFolderUsable);
    QFETCH(QString, wentTo);
    Log l;
    QTemporaryDir state;
    // A file where the state folder would be makes that folder impossible.
    const QString stateFolder = state.filePath(stateFolderUsable ? u"zorScheduler"_qs : u"taken/zorScheduler"_qs);
    if (!stateFolderUsable)
        QVERIFY(QFile(state.filePath(u"taken"_qs)).open(QIODevice::WriteOnly));
    l.platform.application->setStateDirectory(stateFolder);
    if (!tempFolder)
        QVERIFY(QDir(l.platform.path(u"Temp"_qs)).removeRecursively());

    std::ostringstream errors;
    l.at(7, 9, 0, 5);
    l.log.archiveAtExit(errors);
    QCOMPARE(QString::fromStdString(errors.str()), QString());

    l.log.AddLogLine(QStringLiteral(": Timer Started!"));
    l.at(7, 9, 1, 0);
    l.log.archiveAtExit(errors);

    const QByteArray entry("12/7/26 9:01:00 AM\t12/7/26 9:00:05 AM: Timer Started!\r\n\r\n");
    const QString fallback = fileInDirectory(stateFolder, u"zorScheduler-LOG-2026-12-07.log"_qs);
    const QString message = QString::fromStdString(errors.str());
    if (wentTo == u"daily"_qs) {
        QCOMPARE(readFile(l.file(7)), entry);
        QCOMPARE(message, QString());
    } else if (wentTo == u"state"_qs) {
        QCOMPARE(readFile(fallback), entry);
        // The reason is the operating system's own text.
        QVERIFY2(
            message.startsWith(u"zorScheduler: the log pane could not be archived to "_qs + l.file(7) + u" ("_qs) &&
                message.endsWith(u"); its lines went to "_qs + fallback + u"\n"_qs),
            qPrintable(message));
    } else {
        QVERIFY2(message.startsWith(u"zorScheduler: the log pane could not be archived to "_qs + l.file(7)),
                 qPrintable(message));
        QVERIFY2(message.endsWith(u"; its lines follow\n12/7/26 9:01:00 AM\t12/7/26 9:00:05 AM: Timer Started!\n"_qs),
                 qPrintable(message));
    }
    QCOMPARE(l.pane.isEmpty(), wentTo != u"errors"_qs);
}

QTEST_MAIN(ActivityLogTest)
#include "ActivityLogTest.moc"
