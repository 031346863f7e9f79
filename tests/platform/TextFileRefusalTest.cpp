// POSIX only: what an operator's machine can put in the log file's way that the Windows suite cannot
// reproduce: a FIFO, and a write that stops part-way (a full disk, a file-size limit).

#include "platform/TextFileService.h"
#include "support/FileSizeLimit.h"
#include "support/StdStringCompare.h"
#include "support/TempFolder.h"

#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::string_literals;

class TextFileRefusalTest : public QObject
{
    Q_OBJECT

private slots:
    void aFifoInPlaceOfTheFileIsRefusedAtOnce();
    void anEntryWithNoRoomAtAllLeavesTheFileAsItWas();
};

// Opening a FIFO for writing waits for a reader, and with one, writing waits while it does not read: either
// would stop the program's only thread for good.
void TextFileRefusalTest::aFifoInPlaceOfTheFileIsRefusedAtOnce()
{
    TempFolder folder;
    const std::string fifo = folder.pathOf("day.log");
    QCOMPARE(::mkfifo(fifo.c_str(), 0644), 0);
    TextFileService files;
    QVERIFY(!files.openForAppending(fifo));
    QVERIFY(!files.create(fifo, false));
    QVERIFY(!files.create(fifo, true));

    // With a reader at the other end, the open would succeed: the file is still refused, by its kind.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    QVERIFY(!files.openForAppending(fifo));
    QCOMPARE(files.lastErrorText(), "Not a regular file"s);
    QVERIFY(!files.isOpen());
    ::close(reader);
}

void TextFileRefusalTest::anEntryWithNoRoomAtAllLeavesTheFileAsItWas()
{
    TempFolder folder;
    folder.write("day.log", "earlier\r\n");
    TextFileService files;
    const FileSizeLimit full(9);
    QVERIFY(files.openForAppending(folder.pathOf("day.log")));
    QVERIFY(!files.writeLine("more"));
    QVERIFY(!files.lastErrorText().empty());
    QVERIFY(files.lastErrorText().find("taken back") == std::string::npos);
    QVERIFY(files.close());
    QCOMPARE(folder.read("day.log"), "earlier\r\n"s);
}

QTEST_GUILESS_MAIN(TextFileRefusalTest)
#include "TextFileRefusalTest.moc"
