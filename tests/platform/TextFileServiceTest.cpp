#include "support/PlainTest.h"
#include "support/SystemCodePage.h"
#include "support/TempFolder.h"

#include "platform/AnsiCodePage.h"
#include "platform/TextFileService.h"

PLAIN_TEST(openingForAppendingWritesAfterTheExistingContent)
{
    TempFolder folder;
    folder.write("day.log", "first\r\n");
    TextFileService files;
    PLAIN_CHECK(files.openForAppending(folder.pathOf("day.log")));
    PLAIN_CHECK(files.isOpen());
    PLAIN_CHECK(files.lastErrorText().empty());
    PLAIN_CHECK(files.writeLine("second"));
    PLAIN_CHECK(files.writeLine("third"));
    PLAIN_CHECK(files.close());
    PLAIN_CHECK(!files.isOpen());
    PLAIN_CHECK_EQUAL(folder.read("day.log"), std::string("first\r\nsecond\r\nthird\r\n"));
}

PLAIN_TEST(openingForAppendingNeverCreatesTheFile)
{
    TempFolder folder;
    TextFileService files;
    PLAIN_CHECK(!files.openForAppending(folder.pathOf("missing.log")));
    PLAIN_CHECK(!files.isOpen());
    PLAIN_CHECK(!files.lastErrorText().empty());
    PLAIN_CHECK(!folder.exists("missing.log"));
}

PLAIN_TEST(creatingMakesANewFileOnlyWhereAllowed)
{
    TempFolder folder;
    TextFileService files;
    {
        PLAIN_CHECK(files.create(folder.pathOf("new.log"), false));
        PLAIN_CHECK(files.writeLine("line"));
        PLAIN_CHECK(files.close());
        PLAIN_CHECK_EQUAL(folder.read("new.log"), std::string("line\r\n"));
    }
    {
        PLAIN_CHECK(!files.create(folder.pathOf("no folder/new.log"), true));
        PLAIN_CHECK(!files.isOpen());
        PLAIN_CHECK(!files.lastErrorText().empty());
        PLAIN_CHECK(!folder.exists("no folder"));
    }
    {
        folder.write("kept.log", "kept\r\n");
        PLAIN_CHECK(!files.create(folder.pathOf("kept.log"), false));
        PLAIN_CHECK(!files.lastErrorText().empty());
        PLAIN_CHECK_EQUAL(folder.read("kept.log"), std::string("kept\r\n"));
    }
    {
        folder.write("replaced.log", "old content\r\n");
        PLAIN_CHECK(files.create(folder.pathOf("replaced.log"), true));
        PLAIN_CHECK(files.lastErrorText().empty());
        PLAIN_CHECK(files.writeLine("new"));
        PLAIN_CHECK(files.close());
        PLAIN_CHECK_EQUAL(folder.read("replaced.log"), std::string("new\r\n"));
    }
}

PLAIN_TEST(aFolderInPlaceOfTheFileCanNeitherBeOpenedNorReplaced)
{
    TempFolder folder;
    folder.makeFolder("day.log");
    TextFileService files;
    PLAIN_CHECK(!files.openForAppending(folder.pathOf("day.log")));
    PLAIN_CHECK(!files.lastErrorText().empty());
    PLAIN_CHECK(!files.create(folder.pathOf("day.log"), false));
    PLAIN_CHECK(!files.create(folder.pathOf("day.log"), true));
    PLAIN_CHECK(!files.isOpen());
}

PLAIN_TEST(linesEndInCrLfAndReachTheFileInTheAnsiCodePage)
{
    TempFolder folder;
    TextFileService files;
    PLAIN_CHECK(files.create(folder.pathOf("bytes.log"), false));
    // Neither a bare LF nor an embedded CR LF is translated: the service writes exactly what it is given.
    PLAIN_CHECK(files.writeLine("a\tb\r\nc\nd"));
    PLAIN_CHECK(files.writeLine(""));
    // Text reaches the file in the ANSI code page, which no emoji is part of.
    PLAIN_CHECK(files.writeLine("smile \xF0\x9F\x98\x80"));
    PLAIN_CHECK(files.close());
    PLAIN_CHECK_EQUAL(folder.read("bytes.log"), std::string("a\tb\r\nc\nd\r\n\r\nsmile ?\r\n"));
}

PLAIN_TEST(writingAndClosingWithoutAnOpenFile)
{
    TempFolder folder;
    TextFileService files;
    PLAIN_CHECK(!files.writeLine("lost"));
    PLAIN_CHECK(!files.lastErrorText().empty());
    PLAIN_CHECK(files.close());
    PLAIN_CHECK(files.lastErrorText().empty());

    // A failed open leaves nothing open from an earlier file either.
    folder.write("earlier.log", "");
    PLAIN_CHECK(files.openForAppending(folder.pathOf("earlier.log")));
    PLAIN_CHECK(!files.openForAppending(folder.pathOf("missing.log")));
    PLAIN_CHECK(!files.writeLine("lost"));
    PLAIN_CHECK_EQUAL(folder.read("earlier.log"), std::string());
}

PLAIN_TEST(conversionOfTextThatEveryCodePageHolds)
{
    PLAIN_CHECK_EQUAL(toAnsiCodePage(""), std::string());
    PLAIN_CHECK_EQUAL(toAnsiCodePage("05/03/2024 14:07:09\t: Timer Started!\r\n"),
                      std::string("05/03/2024 14:07:09\t: Timer Started!\r\n"));
    // Characters beyond the Basic Multilingual Plane are in no ANSI code page; each is one "?".
    PLAIN_CHECK_EQUAL(toAnsiCodePage("a\xF0\x9F\x98\x80\xF0\x9F\x98\x80z"), std::string("a??z"));
}

// The machines the scheduler serves use Windows-1256. Wine takes its code page from the locale: Windows-1252
// in the C locale, Windows-1256 in the Persian one, and the test script runs the suite in both. Other code
// pages have no expectations here.
PLAIN_TEST(conversionToTheArabicOrTheWesternCodePage)
{
    const unsigned codePage = systemCodePage();
    if (codePage != 1256 && codePage != 1252)
        return;
    const bool arabic = codePage == 1256;

    // "salam", then peh, tcheh, jeh, gaf and keheh, the letters Persian adds to the Arabic alphabet.
    PLAIN_CHECK_EQUAL(toAnsiCodePage("\xD8\xB3\xD9\x84\xD8\xA7\xD9\x85 \xD9\xBE\xDA\x86\xDA\x98\xDA\xAF\xDA\xA9"),
                      std::string(arabic ? "\xD3\xE1\xC7\xE3 \x81\x8D\x8E\x90\x98" : "???? ?????"));
    // Both code pages hold e acute, at the same place.
    PLAIN_CHECK_EQUAL(toAnsiCodePage("\xC3\xA9t\xC3\xA9"), std::string("\xE9t\xE9"));
    // Missing characters become "?", never a look-alike: the Persian yeh (an Arabic yeh would be near), a
    // with macron (a plain a would be near) and two CJK ideographs.
    PLAIN_CHECK_EQUAL(toAnsiCodePage("\xDB\x8C|\xC4\x81|\xE4\xB8\xAD\xE6\x96\x87"), std::string("?|?|??"));
}

PLAIN_TEST(everyByteThatIsNotValidUtf8BecomesOneQuestionMark)
{
    struct Row
    {
        const char* name;
        std::string input;
        std::string expected;
    };
    const Row rows[] = {
        {"a byte that never occurs in UTF-8", "a\xFFz", "a?z"},
        {"a stray continuation byte", "a\x80z", "a?z"},
        {"a lead byte at the end", "a\xC3", "a?"},
        {"a sequence cut short by ASCII", "a\xE2\x82z", "a??z"},
        {"an overlong slash", "\xC0\xAF/",
         "??"
         "/"},
        {"an encoded UTF-16 surrogate", "\xED\xA0\x80!",
         "???"
         "!"},
        {"a code point beyond U+10FFFF", "\xF4\x90\x80\x80", "????"},
        {"valid text right after a broken sequence", "\xE2\xF0\x9F\x98\x80z", "??z"},
    };
    for (const Row& row : rows)
        PLAIN_CHECK_EQUAL(row.name + (": " + toAnsiCodePage(row.input)), row.name + (": " + row.expected));
}

PLAIN_TEST_MAIN()
