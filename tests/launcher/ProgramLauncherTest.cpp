#include "launcher/ProgramLauncher.h"
#include "platform/CommandLine.h"
#include "support/RecordingLaunchCall.h"
#include "support/StdStringCompare.h"

#include <QTest>

#include <stdexcept>

using namespace std::string_literals;

namespace {

const std::string source = "zorScheduler.GShell";

struct Launch
{
    bool result;
    std::size_t calls;
    RecordingLaunchCall::Call call; // the first call, or an empty one when none was made
};

Launch launch(std::int32_t shellResult, const std::string& file = "C:\\Store\\Velmora.exe", std::int32_t showMode = 0,
              const std::string& parameters = ";;;;;;;;;;True", const std::string& directory = std::string())
{
    RecordingLaunchCall shell;
    shell.result = shellResult;
    std::string operation = "open";
    std::int32_t windowHandle = 0;
    const bool result = startProgram({shell.shellCall(), "zorScheduler"}, file, showMode, parameters, directory,
                                     operation, windowHandle);
    return {result, shell.calls.size(), shell.calls.empty() ? RecordingLaunchCall::Call{} : shell.calls.front()};
}

} // namespace

class ProgramLauncherTest : public QObject
{
    Q_OBJECT

private slots:
    void showModeAndArgumentsHandedToTheShell_data();
    void showModeAndArgumentsHandedToTheShell();
    void resultCodesAndTheFailureRecord_data();
    void resultCodesAndTheFailureRecord();
    void aSuccessfulCallEmptiesTheRecordOfAnEarlierFailure();
    void aShellCallThatCannotBeMadeIsOutOfMemory();
    void operationAndWindowHandleReachTheShellAndComeBackUnchanged();
    void commandLineSplitting_data();
    void commandLineSplitting();
};

void ProgramLauncherTest::showModeAndArgumentsHandedToTheShell_data()
{
    QTest::addColumn<std::string>("file");
    QTest::addColumn<std::int32_t>("showMode");
    QTest::addColumn<std::string>("parameters");
    QTest::addColumn<std::string>("directory");
    QTest::addColumn<std::int32_t>("expectedShowMode");

    const auto row = [](const char* name, const char* file, std::int32_t showMode, const char* parameters,
                        const char* directory, std::int32_t expectedShowMode) {
        QTest::newRow(name) << std::string(file) << showMode << std::string(parameters) << std::string(directory)
                            << expectedShowMode;
    };
    row("the updater asked for show 10 is opened hidden", "C:\\Store\\UpdateManager.exe", 10, "True", "", 0);
    row("a text document keeps the caller's show mode", "C:\\Store\\notes.txt", 3, ";;x", "", 3);
    row(".exe in the middle of a name also hides", "C:\\Store\\Velmora.exe.bak", 3, "True", "", 0);
    row(".exe in a folder name also hides", "C:\\Tools.EXE\\readme.txt", 10, "True", "", 0);
    row("mixed letter case of .exe hides", "c:\\store\\velmora.ExE", 10, "True", "", 0);
    row("exe without its dot does not hide", "C:\\EXE\\run.bat", 3, "True", "", 3);
    row("a shortened ending .ex does not hide", "C:\\Store\\Velmora.ex", 3, "True", "", 3);
    row("a non-ASCII path ending in .exe hides", "C:\\\xD9\x81\xD8\xB1\xD9\x88\xD8\xB4\\Velmora.exe", 10, "x", "", 0);
    row("both empty opens a normal window even for an executable asked for 0", "C:\\Store\\Velmora.exe", 0, "", "", 1);
    row("both empty opens a normal window for a document", "C:\\Store\\notes.txt", 3, "", "", 1);
    row("empty parameters with a directory keep the caller's mode for a document", "C:\\Store\\notes.txt", 3, "",
        "C:\\Store", 3);
    row("empty parameters with a directory still hide an executable", "C:\\Store\\Velmora.exe", 10, "", "C:\\Store", 0);
}

void ProgramLauncherTest::showModeAndArgumentsHandedToTheShell()
{
    QFETCH(std::string, file);
    QFETCH(std::int32_t, showMode);
    QFETCH(std::string, parameters);
    QFETCH(std::string, directory);
    QFETCH(std::int32_t, expectedShowMode);

    const Launch made = launch(42, file, showMode, parameters, directory);
    QCOMPARE(made.calls, std::size_t(1));
    QVERIFY(made.result);
    QCOMPARE(made.call.showMode, expectedShowMode);
    QCOMPARE(made.call.file, file);
    QCOMPARE(made.call.parameters, parameters);
    QCOMPARE(made.call.directory, directory);
    QCOMPARE(made.call.operation, "open"s);
}

void ProgramLauncherTest::resultCodesAndTheFailureRecord_data()
{
    QTest::addColumn<std::int32_t>("code");
    QTest::addColumn<bool>("expectedResult");
    QTest::addColumn<std::int32_t>("number");
    QTest::addColumn<std::string>("description");

    const std::string generic = "An error occurred occurred whilst trying to open or print the selected file.";
    QTest::newRow("33 is the first success code") << 33 << true << 0 << ""s;
    QTest::newRow("a negative code is a success") << -5 << true << 0 << ""s;
    QTest::newRow("the lowest code is a success") << INT32_MIN << true << 0 << ""s;
    QTest::newRow("the highest code is a success") << INT32_MAX << true << 0 << ""s;
    QTest::newRow("0: out of memory") << 0 << false << 7 << "Out of memory"s;
    QTest::newRow("1: generic message, computed number") << 1 << false << -2147220455 << generic;
    QTest::newRow("2: file not found") << 2 << false << 53 << "File not found"s;
    QTest::newRow("3: path not found") << 3 << false << 76 << "Path not found"s;
    QTest::newRow("4: generic message, computed number") << 4 << false << -2147220452 << generic;
    QTest::newRow("5: access error") << 5 << false << 75 << "Path/file access error"s;
    QTest::newRow("8: out of memory") << 8 << false << 7 << "Out of memory"s;
    QTest::newRow("11: invalid executable keeps the computed number")
        << 11 << false << -2147220445 << "The executable file is invalid or corrupt"s;
    QTest::newRow("12: generic message, computed number") << 12 << false << -2147220444 << generic;
    QTest::newRow("25: generic message, computed number") << 25 << false << -2147220431 << generic;
    QTest::newRow("26: sharing violation") << 26 << false << 75 << "A sharing violation occurred."s;
    QTest::newRow("27: invalid association keeps the computed number")
        << 27 << false << -2147220429 << "This file type does not have a valid file association."s;
    QTest::newRow("28: time out") << 28 << false << 286
                                  << "The file could not be opened due to time out.  Please try again in a moment."s;
    QTest::newRow("29: DDE failure")
        << 29 << false << 285
        << "The file could not be opened because the DDE transaction failed.  Please try again in a moment."s;
    QTest::newRow("30: busy application")
        << 30 << false << 285
        << "The file could not be opened because the target application is busy.  Please try again in a moment."s;
    QTest::newRow("31: no association keeps the computed number")
        << 31 << false << -2147220425 << "No application is associated with this file type."s;
    QTest::newRow("32: missing library") << 32 << false << 48 << "The specified dynamic-link library was not found."s;
}

void ProgramLauncherTest::resultCodesAndTheFailureRecord()
{
    QFETCH(std::int32_t, code);
    QFETCH(bool, expectedResult);
    QFETCH(std::int32_t, number);
    QFETCH(std::string, description);

    const Launch made = launch(code);
    QCOMPARE(made.calls, std::size_t(1));
    QCOMPARE(made.result, expectedResult);
    QCOMPARE(lastLaunchFailure.number, number);
    QCOMPARE(lastLaunchFailure.description, description);
    QCOMPARE(lastLaunchFailure.source, expectedResult ? std::string() : source);
}

void ProgramLauncherTest::aSuccessfulCallEmptiesTheRecordOfAnEarlierFailure()
{
    QVERIFY(!launch(2).result);
    QCOMPARE(lastLaunchFailure.number, 53);
    QVERIFY(launch(33).result);
    QVERIFY(lastLaunchFailure.isEmpty());
}

void ProgramLauncherTest::aShellCallThatCannotBeMadeIsOutOfMemory()
{
    const LaunchCall throwsStandard = [](std::intptr_t, const char*, const char*, const char*, const char*,
                                         std::int32_t) -> std::int32_t { throw std::runtime_error("no shell32"); };
    const LaunchCall throwsOther = [](std::intptr_t, const char*, const char*, const char*, const char*,
                                      std::int32_t) -> std::int32_t { throw 1; };
    for (const LaunchCall& call : {throwsStandard, throwsOther, LaunchCall()}) {
        std::string operation = "open";
        std::int32_t windowHandle = 0;
        QVERIFY(
            !startProgram({call, "zorScheduler"}, "C:\\Store\\Velmora.exe", 0, "True", "", operation, windowHandle));
        QCOMPARE(lastLaunchFailure.number, 7);
        QCOMPARE(lastLaunchFailure.description, "Out of memory"s);
        QCOMPARE(lastLaunchFailure.source, source);
    }
}

void ProgramLauncherTest::operationAndWindowHandleReachTheShellAndComeBackUnchanged()
{
    RecordingLaunchCall shell;
    shell.result = 2;
    std::string operation = "print";
    std::int32_t windowHandle = 0x1234;
    startProgram({shell.shellCall(), "zor Scheduler 2"}, "C:\\Store\\notes.txt", 3, "", "", operation, windowHandle);
    QCOMPARE(operation, "print"s);
    QCOMPARE(windowHandle, 0x1234);
    QVERIFY(!shell.calls.empty());
    QCOMPARE(shell.calls.front().operation, "print"s);
    QCOMPARE(shell.calls.front().windowHandle, std::intptr_t(0x1234));
    QCOMPARE(lastLaunchFailure.source, "zor Scheduler 2.GShell"s);
}

void ProgramLauncherTest::commandLineSplitting_data()
{
    QTest::addColumn<std::string>("tail");
    QTest::addColumn<std::vector<std::string>>("arguments");

    using Arguments = std::vector<std::string>;
    QTest::newRow("transfer persons") << ";;;;;;;;;;True"s << Arguments{";;;;;;;;;;True"};
    QTest::newRow("internet orders") << ";;;;;;;;;;;;;;;True"s << Arguments{";;;;;;;;;;;;;;;True"};
    QTest::newRow("birthday SMS") << ";;;;;;;;;;;True"s << Arguments{";;;;;;;;;;;True"};
    QTest::newRow("branch data") << ";;false;;False;False;True"s << Arguments{";;false;;False;False;True"};
    QTest::newRow("backup cleaning") << ";;false;;False;CLEANBAKDIR365"s << Arguments{";;false;;False;CLEANBAKDIR365"};
    QTest::newRow("database backup") << ";;false;;False;TrueOnExit"s << Arguments{";;false;;False;TrueOnExit"};
    QTest::newRow("the updater") << "True"s << Arguments{"True"};
    QTest::newRow("nothing") << ""s << Arguments{};
    QTest::newRow("only blanks") << " \t "s << Arguments{};
    QTest::newRow("blanks and tabs separate") << " a\tb  c "s << Arguments{"a", "b", "c"};
    QTest::newRow("quotes group blanks") << "\"a b\" c"s << Arguments{"a b", "c"};
    QTest::newRow("a quoted part inside an argument") << "a\"b c\"d"s << Arguments{"ab cd"};
    QTest::newRow("an empty quoted argument") << "\"\" x"s << Arguments{"", "x"};
    QTest::newRow("an unclosed quote runs to the end") << "\"a b"s << Arguments{"a b"};
    QTest::newRow("a doubled quote inside quotes is one quote") << "\"a\"\"b\" c"s << Arguments{"a\"b", "c"};
    QTest::newRow("backslashes without a quote stay") << "C:\\Store\\ a\\\\b"s << Arguments{"C:\\Store\\", "a\\\\b"};
    QTest::newRow("an escaped quote") << "a\\\"b"s << Arguments{"a\"b"};
    QTest::newRow("two backslashes and a quote") << "\"a\\\\\" b"s << Arguments{"a\\", "b"};
    QTest::newRow("three backslashes and a quote") << "a\\\\\\\"b"s << Arguments{"a\\\"b"};
    QTest::newRow("a quoted folder with a trailing backslash")
        << "\"C:\\My Store\\\\\""s << Arguments{"C:\\My Store\\"};
    QTest::newRow("UTF-8 passes unchanged") << "\xD9\x81 \xE2\x82\xAC"s << Arguments{"\xD9\x81", "\xE2\x82\xAC"};
}

void ProgramLauncherTest::commandLineSplitting()
{
    QFETCH(std::string, tail);
    QFETCH(std::vector<std::string>, arguments);

    const std::vector<std::string> split = splitWindowsCommandLine(tail);
    QCOMPARE(split.size(), arguments.size());
    for (std::size_t i = 0; i < split.size(); ++i)
        QCOMPARE(split[i], arguments[i]);
}

QTEST_GUILESS_MAIN(ProgramLauncherTest)
#include "ProgramLauncherTest.moc"
