// POSIX only: what an operator's machine can put in the log file's way that the Windows suite cannot
// reproduce: a FIFO, and a write that stops part-way (a full disk, a file-size limit).

#include "support/FileSizeLimit.h"
#include "support/PlainTest.h"
#include "support/TempFolder.h"

#include "log/LogFileEntry.h"
#include "platform/TextFileService.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

// Opening a FIFO for writing waits for a reader, and with one, writing waits while it does not read: either
// would stop the program's only thread for good.
PLAIN_TEST(aFifoInPlaceOfTheFileIsRefusedAtOnce)
{
    TempFolder folder;
    const std::string fifo = folder.pathOf("day.log");
    PLAIN_CHECK(::mkfifo(fifo.c_str(), 0644) == 0);
    TextFileService files;
    PLAIN_CHECK(!files.openForAppending(fifo));
    PLAIN_CHECK(!files.create(fifo, false));
    PLAIN_CHECK(!files.create(fifo, true));

    // With a reader at the other end, the open would succeed: the file is still refused, by its kind.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    PLAIN_CHECK(reader >= 0);
    PLAIN_CHECK(!files.openForAppending(fifo));
    PLAIN_CHECK_EQUAL(files.lastErrorText(), std::string("Not a regular file"));
    PLAIN_CHECK(!files.isOpen());
    ::close(reader);
}

// A limit that lets only part of an entry in, as a disk that fills up during the write: the part is taken
// back and the reason says so; once there is room again (the limit lifted), the next entry lands whole
// after the earlier ones, with no fragment before it.
PLAIN_TEST(anEntryCutShortIsTakenBackAndTheNextLandsWhole)
{
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
        PLAIN_CHECK(!result.written);
        PLAIN_CHECK(contains(result.failure, "the 10 bytes written were taken back"));
        PLAIN_CHECK(!files.isOpen());
    }
    PLAIN_CHECK_EQUAL(folder.read("day.log"), first);

    PLAIN_CHECK(writeLogEntry(files, path, "9:00:00", "second entry, longer than the room left", false).written);
    PLAIN_CHECK_EQUAL(folder.read("day.log"), first + second);
}

PLAIN_TEST(anEntryWithNoRoomAtAllLeavesTheFileAsItWas)
{
    TempFolder folder;
    folder.write("day.log", "earlier\r\n");
    TextFileService files;
    const FileSizeLimit full(9);
    PLAIN_CHECK(files.openForAppending(folder.pathOf("day.log")));
    PLAIN_CHECK(!files.writeLine("more"));
    PLAIN_CHECK(!files.lastErrorText().empty());
    PLAIN_CHECK(!contains(files.lastErrorText(), "taken back"));
    PLAIN_CHECK(files.close());
    PLAIN_CHECK_EQUAL(folder.read("day.log"), std::string("earlier\r\n"));
}

PLAIN_TEST_MAIN()
