#include "support/PlainTest.h"
#include "support/TempFolder.h"

#include "log/LogFileEntry.h"

#include <filesystem>

namespace {

const std::string logName = "Temp/zorScheduler-LOG-2024-03-05.log";
const std::string twoLinePane = "05/03/2024 10:00:00: Process Internet Orders!\r\n"
                                "05/03/2024 09:00:00: Timer Started!\r\n";

} // namespace

PLAIN_TEST(archivesOfOneDayFollowEachOtherInOneFile)
{
    TempFolder folder;
    folder.makeFolder("Temp");
    TextFileService files;

    LogWriteResult result = writeLogEntry(files, folder.pathOf(logName), "05/03/2024 10:30:00", twoLinePane, false);
    PLAIN_CHECK(result.written);
    PLAIN_CHECK_EQUAL(result.failure, std::string());
    PLAIN_CHECK(!files.isOpen());
    std::string expected = "05/03/2024 10:30:00\t05/03/2024 10:00:00: Process Internet Orders!\r\n"
                           "05/03/2024 09:00:00: Timer Started!\r\n"
                           "\r\n";
    PLAIN_CHECK_EQUAL(folder.read(logName), expected);

    result = writeLogEntry(files, folder.pathOf(logName), "05/03/2024 11:00:00",
                           "05/03/2024 10:45:00: Timer Stopped!\r\n", false);
    PLAIN_CHECK(result.written);
    expected += "05/03/2024 11:00:00\t05/03/2024 10:45:00: Timer Stopped!\r\n\r\n";
    PLAIN_CHECK_EQUAL(folder.read(logName), expected);

    // An empty pane still leaves its mark: the date-time text and the TAB.
    result = writeLogEntry(files, folder.pathOf(logName), "05/03/2024 12:00:00", "", false);
    PLAIN_CHECK(result.written);
    expected += "05/03/2024 12:00:00\t\r\n";
    PLAIN_CHECK_EQUAL(folder.read(logName), expected);
}

PLAIN_TEST(anExistingFileIsAppendedToEvenWhenOverwriteIsAllowed)
{
    TempFolder folder;
    folder.makeFolder("Temp");
    folder.write(logName, "earlier\r\n");
    TextFileService files;
    const LogWriteResult result = writeLogEntry(files, folder.pathOf(logName), "dt", "message", true);
    PLAIN_CHECK(result.written);
    PLAIN_CHECK_EQUAL(folder.read(logName), std::string("earlier\r\ndt\tmessage\r\n"));
}

PLAIN_TEST(withoutTheTempFolderNothingIsWrittenAndTheReasonIsGiven)
{
    TempFolder folder;
    TextFileService files;
    const LogWriteResult result = writeLogEntry(files, folder.pathOf(logName), "dt", twoLinePane, false);
    PLAIN_CHECK(!result.written);
    PLAIN_CHECK(!result.failure.empty());
    PLAIN_CHECK(!folder.exists("Temp"));
    PLAIN_CHECK(!files.isOpen());
}

PLAIN_TEST(aDailyFileThatCannotBeOpenedIsNotReplaced)
{
    TempFolder folder;
    folder.makeFolder(logName);
    folder.write(logName + "/inside", "kept");
    TextFileService files;
    const LogWriteResult result = writeLogEntry(files, folder.pathOf(logName), "dt", twoLinePane, false);
    PLAIN_CHECK(!result.written);
    PLAIN_CHECK(!result.failure.empty());
    PLAIN_CHECK_EQUAL(folder.read(logName + "/inside"), std::string("kept"));
    PLAIN_CHECK(!files.isOpen());
}

PLAIN_TEST(aDeviceInPlaceOfTheFileIsRefusedAndNothingStaysOpen)
{
    // A device that takes no data where the day's file should be: refused at once, by its kind, never written
    // to (a write that fails part-way is TextFileRefusalTest's). Where it does not exist there is nothing to show.
    const std::string full = "/dev/full";
    if (!std::filesystem::exists(full))
        return;
    TextFileService files;
    const LogWriteResult result = writeLogEntry(files, full, "dt", "message", false);
    PLAIN_CHECK(!result.written);
    PLAIN_CHECK(result.failure.find("Not a regular file") != std::string::npos);
    PLAIN_CHECK(!files.isOpen());
}

PLAIN_TEST_MAIN()
