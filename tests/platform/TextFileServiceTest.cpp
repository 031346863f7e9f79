#include "platform/TextFileService.h"
#include "platform/AnsiCodePage.h"
#include "support/StdStringCompare.h"
#include "support/SystemCodePage.h"
#include "support/TempFolder.h"

#include <QTest>

using namespace std::string_literals;

class TextFileServiceTest : public QObject
{
    Q_OBJECT

private slots:
    void openingForAppendingWritesAfterTheExistingContent();
    void openingForAppendingNeverCreatesTheFile();
    void creatingMakesANewFileOnlyWhereAllowed();
    void aFolderInPlaceOfTheFileCanNeitherBeOpenedNorReplaced();
    void linesEndInCrLfAndReachTheFileInTheAnsiCodePage();
    void writingAndClosingWithoutAnOpenFile();
    void conversionOfTextThatEveryCodePageHolds();
    void conversionToTheArabicOrTheWesternCodePage();
    void everyByteThatIsNotValidUtf8BecomesOneQuestionMark_data();
    void everyByteThatIsNotValidUtf8BecomesOneQuestionMark();
};

void TextFileServiceTest::openingForAppendingWritesAfterTheExistingContent()
{
    TempFolder folder;
    folder.write("day.log", "first\r\n");
    TextFileService files;
    QVERIFY(files.openForAppending(folder.pathOf("day.log")));
    QVERIFY(files.isOpen());
    QVERIFY(files.lastErrorText().empty());
    QVERIFY(files.writeLine("second"));
    QVERIFY(files.writeLine("third"));
    QVERIFY(files.close());
    QVERIFY(!files.isOpen());
    QCOMPARE(folder.read("day.log"), "first\r\nsecond\r\nthird\r\n"s);
}

void TextFileServiceTest::openingForAppendingNeverCreatesTheFile()
{
    TempFolder folder;
    TextFileService files;
    QVERIFY(!files.openForAppending(folder.pathOf("missing.log")));
    QVERIFY(!files.isOpen());
    QVERIFY(!files.lastErrorText().empty());
    QVERIFY(!folder.exists("missing.log"));
}

void TextFileServiceTest::creatingMakesANewFileOnlyWhereAllowed()
{
    TempFolder folder;
    TextFileService files;
    {
        QVERIFY(files.create(folder.pathOf("new.log"), false));
        QVERIFY(files.writeLine("line"));
        QVERIFY(files.close());
        QCOMPARE(folder.read("new.log"), "line\r\n"s);
    }
    {
        QVERIFY(!files.create(folder.pathOf("no folder/new.log"), true));
        QVERIFY(!files.isOpen());
        QVERIFY(!files.lastErrorText().empty());
        QVERIFY(!folder.exists("no folder"));
    }
    {
        folder.write("kept.log", "kept\r\n");
        QVERIFY(!files.create(folder.pathOf("kept.log"), false));
        QVERIFY(!files.lastErrorText().empty());
        QCOMPARE(folder.read("kept.log"), "kept\r\n"s);
    }
    {
        folder.write("replaced.log", "old content\r\n");
        QVERIFY(files.create(folder.pathOf("replaced.log"), true));
        QVERIFY(files.lastErrorText().empty());
        QVERIFY(files.writeLine("new"));
        QVERIFY(files.close());
        QCOMPARE(folder.read("replaced.log"), "new\r\n"s);
    }
}

void TextFileServiceTest::aFolderInPlaceOfTheFileCanNeitherBeOpenedNorReplaced()
{
    TempFolder folder;
    folder.makeFolder("day.log");
    TextFileService files;
    QVERIFY(!files.openForAppending(folder.pathOf("day.log")));
    QVERIFY(!files.lastErrorText().empty());
    QVERIFY(!files.create(folder.pathOf("day.log"), false));
    QVERIFY(!files.create(folder.pathOf("day.log"), true));
    QVERIFY(!files.isOpen());
}

void TextFileServiceTest::linesEndInCrLfAndReachTheFileInTheAnsiCodePage()
{
    TempFolder folder;
    TextFileService files;
    QVERIFY(files.create(folder.pathOf("bytes.log"), false));
    // Neither a bare LF nor an embedded CR LF is translated: the service writes exactly what it is given.
    QVERIFY(files.writeLine("a\tb\r\nc\nd"));
    QVERIFY(files.writeLine(""));
    // Text reaches the file in the ANSI code page, which no emoji is part of.
    QVERIFY(files.writeLine("smile \xF0\x9F\x98\x80"));
    QVERIFY(files.close());
    QCOMPARE(folder.read("bytes.log"), "a\tb\r\nc\nd\r\n\r\nsmile ?\r\n"s);
}

void TextFileServiceTest::writingAndClosingWithoutAnOpenFile()
{
    TempFolder folder;
    TextFileService files;
    QVERIFY(!files.writeLine("lost"));
    QVERIFY(!files.lastErrorText().empty());
    QVERIFY(files.close());
    QVERIFY(files.lastErrorText().empty());

    // A failed open leaves nothing open from an earlier file either.
    folder.write("earlier.log", "");
    QVERIFY(files.openForAppending(folder.pathOf("earlier.log")));
    QVERIFY(!files.openForAppending(folder.pathOf("missing.log")));
    QVERIFY(!files.writeLine("lost"));
    QCOMPARE(folder.read("earlier.log"), std::string());
}

void TextFileServiceTest::conversionOfTextThatEveryCodePageHolds()
{
    QCOMPARE(toAnsiCodePage(""), std::string());
    QCOMPARE(toAnsiCodePage("05/03/2024 14:07:09\t: Timer Started!\r\n"), "05/03/2024 14:07:09\t: Timer Started!\r\n"s);
    // Characters beyond the Basic Multilingual Plane are in no ANSI code page; each is one "?".
    QCOMPARE(toAnsiCodePage("a\xF0\x9F\x98\x80\xF0\x9F\x98\x80z"), "a??z"s);
}

// The machines the scheduler serves use Windows-1256. Wine takes its code page from the locale: Windows-1252
// in the C locale, Windows-1256 in the Persian one, and the test script runs the suite in both. Other code
// pages have no expectations here.
void TextFileServiceTest::conversionToTheArabicOrTheWesternCodePage()
{
    const unsigned codePage = systemCodePage();
    if (codePage != 1256 && codePage != 1252)
        QSKIP("A code page with no expectations here");
    const bool arabic = codePage == 1256;

    // "salam", then peh, tcheh, jeh, gaf and keheh, the letters Persian adds to the Arabic alphabet.
    QCOMPARE(toAnsiCodePage("\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 \xD9\xBE\xDA\x86\xDA\x98\xDA\xAF\xDA\xA9"),
             std::string(arabic ? "\xD3\xE1\xC7\xE3 \x81\x8D\x8E\x90\x98" : "???? ?????"));
    // Both code pages hold e acute, at the same place.
    QCOMPARE(toAnsiCodePage("\xC3\xA9t\xC3\xA9"), "\xE9t\xE9"s);
    // Missing characters become "?", never a look-alike: the Persian yeh (an Arabic yeh would be near), a
    // with macron (a plain a would be near) and two CJK ideographs.
    QCOMPARE(toAnsiCodePage("\xDB\x8C|\xC4\x81|\xE4\xB8\xAD\xE6\x96\x87"), "?|?|??"s);
}

void TextFileServiceTest::everyByteThatIsNotValidUtf8BecomesOneQuestionMark_data()
{
    QTest::addColumn<std::string>("input");
    QTest::addColumn<std::string>("expected");

    const auto row = [](const char* name, std::string input, std::string expected) {
        QTest::newRow(name) << input << expected;
    };
    row("a byte that never occurs in UTF-8", "a\xFFz", "a?z");
    row("a stray continuation byte", "a\x80z", "a?z");
    row("a lead byte at the end", "a\xC3", "a?");
    row("a sequence cut short by ASCII", "a\xE2\x82z", "a??z");
    row("an overlong slash", "\xC0\xAF/",
        "??"
        "/");
    row("an encoded UTF-16 surrogate", "\xED\xA0\x80!",
        "???"
        "!");
    row("a code point beyond U+10FFFF", "\xF4\x90\x80\x80", "????");
    row("valid text right after a broken sequence", "\xE2\xF0\x9F\x98\x80z", "??z");
}

void TextFileServiceTest::everyByteThatIsNotValidUtf8BecomesOneQuestionMark()
{
    QFETCH(std::string, input);
    QFETCH(std::string, expected);

    QCOMPARE(toAnsiCodePage(input), expected);
}

QTEST_GUILESS_MAIN(TextFileServiceTest)
#include "TextFileServiceTest.moc"
