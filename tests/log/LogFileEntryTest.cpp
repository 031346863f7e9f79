#include "log/LogFileEntry.h"
#include "support/StdStringCompare.h"
#include "support/TempFolder.h"

#include <QTest>

#include <filesystem>

#ifdef Q_OS_UNIX
#include "support/FileSizeLimit.h"
#endif

using namespace std::string_literals;

namespace {

const std::string logName = "Temp/zorScheduler-LOG-2024-03-05.log";
const std::string twoLinePane = "05/03/2024 10:00:00: Process Internet Orders!\r\n"
                                "05/03/2024 09:00:00: Timer Started!\r\n";

} // namespace

class LogFileEntryTest : public QObject
{
    Q_OBJECT

private slots:
    void archivesOfOneDayFollowEachOtherInOneFile();
    void anExistingFileIsAppendedToEvenWhenOverwriteIsAllowed();
    void withoutTheTempFolderNothingIsWrittenAndTheReasonIsGiven();
    void aDailyFileThatCannotBeOpenedIsNotReplaced();
    void aDeviceInPlaceOfTheFileIsRefusedAndNothingStaysOpen();
    void anEntryCutShortIsTakenBackAndTheNextLandsWhole();
};

void LogFileEntryTest::archivesOfOneDayFollowEachOtherInOneFile()
{
    TempFolder folder;
    folder.makeFolder("Temp");
    TextFileService files;

    LogWriteResult result = writeLogEntry(files, folder.pathOf(logName), "05/03/2024 10:30:00", twoLinePane, false);
    QVERIFY(result.written);
    QCOMPARE(result.failure, std::string());
    QVERIFY(!files.isOpen());
    std::string expected = "05/03/2024 10:30:00\t05/03/2024 10:00:00: Process Internet Orders!\r\n"
                           "05/03/2024 09:00:00: Timer Started!\r\n"
                           "\r\n";
    QCOMPARE(folder.read(logName), expected);

    result = writeLogEntry(files, folder.pathOf(logName), "05/03/2024 11:00:00",
                           "05/03/2024 10:45:00: Timer Stopped!\r\n", false);
    QVERIFY(result.written);
    expected += "05/03/2024 11:00:00\t05/03/2024 10:45:00: Timer Stopped!\r\n\r\n";
    QCOMPARE(folder.read(logName), expected);

    // An empty pane still leaves its mark: the date-time text and the TAB.
    result = writeLogEntry(files, folder.pathOf(logName), "05/03/2024 12:00:00", "", false);
    QVERIFY(result.written);
    expected += "05/03/2024 12:00:00\t\r\n";
    QCOMPARE(folder.read(logName), expected);
}

void LogFileEntryTest::anExistingFileIsAppendedToEvenWhenOverwriteIsAllowed()
{
    TempFolder folder;
    folder.makeFolder("Temp");
    folder.write(logName, "earlier\r\n");
    TextFileService files;
    const LogWriteResult result = writeLogEntry(files, folder.pathOf(logName), "dt", "message", true);
    QVERIFY(result.written);
    QCOMPARE(folder.read(logName), "earlier\r\ndt\tmessage\r\n"s);
}

void LogFileEntryTest::withoutTheTempFolderNothingIsWrittenAndTheReasonIsGiven()
{
    TempFolder folder;
    TextFileService files;
    const LogWriteResult result = writeLogEntry(files, folder.pathOf(logName), "dt", twoLinePane, false);
    QVERIFY(!result.written);
    QVERIFY(!result.failure.empty());
    QVERIFY(!folder.exists("Temp"));
    QVERIFY(!files.isOpen());
}

void LogFileEntryTest::aDailyFileThatCannotBeOpenedIsNotReplaced()
{
    TempFolder folder;
    folder.makeFolder(logName);
    folder.write(logName + "/inside", "kept");
    TextFileService files;
    const LogWriteResult result = writeLogEntry(files, folder.pathOf(logName), "dt", twoLinePane, false);
    QVERIFY(!result.written);
    QVERIFY(!result.failure.empty());
    QCOMPARE(folder.read(logName + "/inside"), "kept"s);
    QVERIFY(!files.isOpen());
}

void LogFileEntryTest::aDeviceInPlaceOfTheFileIsRefusedAndNothingStaysOpen()
{
    // A device that takes no data where the day's file should be: refused at once, by its kind, never written
    // to (a write that fails part-way is the next case's).
    const std::string full = "/dev/full";
    if (!std::filesystem::exists(full))
        QSKIP("No /dev/full here");
    TextFileService files;
    const LogWriteResult result = writeLogEntry(files, full, "dt", "message", false);
    QVERIFY(!result.written);
    QVERIFY(result.failure.find("Not a regular file") != std::string::npos);
    QVERIFY(!files.isOpen());
}

// A limit that lets only part of an entry in, as a disk that fills up during the write: the part is taken
// back and the reason says so; once there is room again (the limit lifted), the next entry lands whole
// after the earlier ones, with no fragment before it.
void LogFileEntryTest::anEntryCutShortIsTakenBackAndTheNextLandsWhole()
{
#ifdef Q_OS_UNIX
    TempFolder folder;
    const std::string path = folder.pathOf("day.log");
    const std::string first = "7:00:00\tfirst entry\r\n\r\n";
    folder.write("day.log", first);
    const std::string second = "9:00:00\tsecond entry, longer than the room left\r\n";
    TextFileService files;
    {
        const FileSizeLimit full(first.size() + 10);
        const LogWriteResult result =
            writeLogEntry(files, path, "9:00:00", "second entry, longer than the room left", false);
        QVERIFY(!result.written);
        QVERIFY(result.failure.find("the 10 bytes written were taken back") != std::string::npos);
        QVERIFY(!files.isOpen());
    }
    QCOMPARE(folder.read("day.log"), first);

    QVERIFY(writeLogEntry(files, path, "9:00:00", "second entry, longer than the room left", false).written);
    QCOMPARE(folder.read("day.log"), first + second);
#else
    QSKIP("A file-size limit is a POSIX resource limit");
#endif
}

QTEST_GUILESS_MAIN(LogFileEntryTest)
#include "LogFileEntryTest.moc"
