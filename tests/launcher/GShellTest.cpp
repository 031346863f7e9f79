#include "launcher/mdlShellExecute.h"
#include "platform/CommandLine.h"
#include "support/PlainTest.h"
#include "support/RecordingShellCall.h"

#include <stdexcept>

namespace {

const char* const source = "zorScheduler.GShell";

struct Launch
{
    bool result;
    RecordingShellCall::Call call;
};

Launch launch(std::int32_t shellResult, const std::string& file = "C:\\Store\\Velmora.exe", std::int32_t showMode = 0,
              const std::string& parameters = ";;;;;;;;;;True", const std::string& directory = std::string())
{
    RecordingShellCall shell;
    shell.result = shellResult;
    std::string operation = "open";
    std::int32_t windowHandle = 0;
    const bool result =
        GShell({shell.shellCall(), "zorScheduler"}, file, showMode, parameters, directory, operation, windowHandle);
    PLAIN_CHECK_EQUAL(shell.calls.size(), 1u);
    // A failed check does not end the case: without a call, the case fails on an empty one, not a crash.
    return {result, shell.calls.empty() ? RecordingShellCall::Call{} : shell.calls.front()};
}

} // namespace

PLAIN_TEST(showModeAndArgumentsHandedToTheShell)
{
    struct Row
    {
        const char* name;
        const char* file;
        std::int32_t showMode;
        const char* parameters;
        const char* directory;
        std::int32_t expectedShowMode;
    };
    const Row rows[] = {
        {"the updater asked for show 10 is opened hidden", "C:\\Store\\UpdateManager.exe", 10, "True", "", 0},
        {"a text document keeps the caller's show mode", "C:\\Store\\notes.txt", 3, ";;x", "", 3},
        {".exe in the middle of a name also hides", "C:\\Store\\Velmora.exe.bak", 3, "True", "", 0},
        {".exe in a folder name also hides", "C:\\Tools.EXE\\readme.txt", 10, "True", "", 0},
        {"mixed letter case of .exe hides", "c:\\store\\velmora.ExE", 10, "True", "", 0},
        {"exe without its dot does not hide", "C:\\EXE\\run.bat", 3, "True", "", 3},
        {"a shortened ending .ex does not hide", "C:\\Store\\Velmora.ex", 3, "True", "", 3},
        {"a non-ASCII path ending in .exe hides", "C:\\\xD9\x81\xD8\xB1\xD9\x88\xD8\xB4\\Velmora.exe", 10, "x", "", 0},
        {"both empty opens a normal window even for an executable asked for 0", "C:\\Store\\Velmora.exe", 0, "", "", 1},
        {"both empty opens a normal window for a document", "C:\\Store\\notes.txt", 3, "", "", 1},
        {"empty parameters with a directory keep the caller's mode for a document", "C:\\Store\\notes.txt", 3, "",
         "C:\\Store", 3},
        {"empty parameters with a directory still hide an executable", "C:\\Store\\Velmora.exe", 10, "", "C:\\Store",
         0},
    };
    plaintest::forEachRow(rows, [](const Row& row) {
        const Launch made = launch(42, row.file, row.showMode, row.parameters, row.directory);
        PLAIN_CHECK(made.result);
        PLAIN_CHECK_EQUAL(made.call.showMode, row.expectedShowMode);
        PLAIN_CHECK_EQUAL(made.call.file, std::string(row.file));
        PLAIN_CHECK_EQUAL(made.call.parameters, std::string(row.parameters));
        PLAIN_CHECK_EQUAL(made.call.directory, std::string(row.directory));
        PLAIN_CHECK_EQUAL(made.call.operation, std::string("open"));
    });
}

PLAIN_TEST(resultCodesAndTheFailureRecord)
{
    struct Row
    {
        const char* name;
        std::int32_t code;
        bool expectedResult;
        std::int32_t number;
        const char* description;
    };
    const char* const generic = "An error occurred occurred whilst trying to open or print the selected file.";
    const Row rows[] = {
        {"33 is the first success code", 33, true, 0, ""},
        {"a negative code is a success", -5, true, 0, ""},
        {"the lowest code is a success", INT32_MIN, true, 0, ""},
        {"the highest code is a success", INT32_MAX, true, 0, ""},
        {"0: out of memory", 0, false, 7, "Out of memory"},
        {"1: generic message, computed number", 1, false, -2147220455, generic},
        {"2: file not found", 2, false, 53, "File not found"},
        {"3: path not found", 3, false, 76, "Path not found"},
        {"4: generic message, computed number", 4, false, -2147220452, generic},
        {"5: access error", 5, false, 75, "Path/file access error"},
        {"8: out of memory", 8, false, 7, "Out of memory"},
        {"11: invalid executable keeps the computed number", 11, false, -2147220445,
         "The executable file is invalid or corrupt"},
        {"12: generic message, computed number", 12, false, -2147220444, generic},
        {"25: generic message, computed number", 25, false, -2147220431, generic},
        {"26: sharing violation", 26, false, 75, "A sharing violation occurred."},
        {"27: invalid association keeps the computed number", 27, false, -2147220429,
         "This file type does not have a valid file association."},
        {"28: time out", 28, false, 286,
         "The file could not be opened due to time out.  Please try again in a moment."},
        {"29: DDE failure", 29, false, 285,
         "The file could not be opened because the DDE transaction failed.  Please try again in a moment."},
        {"30: busy application", 30, false, 285,
         "The file could not be opened because the target application is busy.  Please try again in a moment."},
        {"31: no association keeps the computed number", 31, false, -2147220425,
         "No application is associated with this file type."},
        {"32: missing library", 32, false, 48, "The specified dynamic-link library was not found."},
    };
    plaintest::forEachRow(rows, [](const Row& row) {
        PLAIN_CHECK_EQUAL(launch(row.code).result, row.expectedResult);
        PLAIN_CHECK_EQUAL(LastError.Number, row.number);
        PLAIN_CHECK_EQUAL(LastError.Description, std::string(row.description));
        PLAIN_CHECK_EQUAL(LastError.Source, std::string(row.expectedResult ? "" : source));
    });
}

PLAIN_TEST(aSuccessfulCallEmptiesTheRecordOfAnEarlierFailure)
{
    PLAIN_CHECK(!launch(2).result);
    PLAIN_CHECK_EQUAL(LastError.Number, 53);
    PLAIN_CHECK(launch(33).result);
    PLAIN_CHECK(LastError.isEmpty());
}

PLAIN_TEST(aShellCallThatCannotBeMadeIsOutOfMemory)
{
    const ShellCall throwsStandard = [](std::intptr_t, const char*, const char*, const char*, const char*,
                                        std::int32_t) -> std::int32_t { throw std::runtime_error("no shell32"); };
    const ShellCall throwsOther = [](std::intptr_t, const char*, const char*, const char*, const char*,
                                     std::int32_t) -> std::int32_t { throw 1; };
    for (const ShellCall& call : {throwsStandard, throwsOther, ShellCall()}) {
        std::string operation = "open";
        std::int32_t windowHandle = 0;
        PLAIN_CHECK(!GShell({call, "zorScheduler"}, "C:\\Store\\Velmora.exe", 0, "True", "", operation, windowHandle));
        PLAIN_CHECK_EQUAL(LastError.Number, 7);
        PLAIN_CHECK_EQUAL(LastError.Description, std::string("Out of memory"));
        PLAIN_CHECK_EQUAL(LastError.Source, std::string(source));
    }
}

PLAIN_TEST(operationAndWindowHandleReachTheShellAndComeBackUnchanged)
{
    RecordingShellCall shell;
    shell.result = 2;
    std::string operation = "print";
    std::int32_t windowHandle = 0x1234;
    GShell({shell.shellCall(), "zor Scheduler 2"}, "C:\\Store\\notes.txt", 3, "", "", operation, windowHandle);
    PLAIN_CHECK_EQUAL(operation, std::string("print"));
    PLAIN_CHECK_EQUAL(windowHandle, 0x1234);
    PLAIN_CHECK_EQUAL(shell.calls.at(0).operation, std::string("print"));
    PLAIN_CHECK_EQUAL(shell.calls.at(0).windowHandle, std::intptr_t(0x1234));
    PLAIN_CHECK_EQUAL(LastError.Source, std::string("zor Scheduler 2.GShell"));
}

PLAIN_TEST(commandLineSplitting)
{
    struct Row
    {
        const char* name;
        const char* tail;
        std::vector<std::string> arguments;
    };
    const Row rows[] = {
        {"transfer persons", ";;;;;;;;;;True", {";;;;;;;;;;True"}},
        {"internet orders", ";;;;;;;;;;;;;;;True", {";;;;;;;;;;;;;;;True"}},
        {"birthday SMS", ";;;;;;;;;;;True", {";;;;;;;;;;;True"}},
        {"branch data", ";;false;;False;False;True", {";;false;;False;False;True"}},
        {"backup cleaning", ";;false;;False;CLEANBAKDIR365", {";;false;;False;CLEANBAKDIR365"}},
        {"database backup", ";;false;;False;TrueOnExit", {";;false;;False;TrueOnExit"}},
        {"the updater", "True", {"True"}},
        {"nothing", "", {}},
        {"only blanks", " \t ", {}},
        {"blanks and tabs separate", " a\tb  c ", {"a", "b", "c"}},
        {"quotes group blanks", "\"a b\" c", {"a b", "c"}},
        {"a quoted part inside an argument", "a\"b c\"d", {"ab cd"}},
        {"an empty quoted argument", "\"\" x", {"", "x"}},
        {"an unclosed quote runs to the end", "\"a b", {"a b"}},
        {"a doubled quote inside quotes is one quote", "\"a\"\"b\" c", {"a\"b", "c"}},
        {"backslashes without a quote stay", "C:\\Store\\ a\\\\b", {"C:\\Store\\", "a\\\\b"}},
        {"an escaped quote", "a\\\"b", {"a\"b"}},
        {"two backslashes and a quote", "\"a\\\\\" b", {"a\\", "b"}},
        {"three backslashes and a quote", "a\\\\\\\"b", {"a\\\"b"}},
        {"a quoted folder with a trailing backslash", "\"C:\\My Store\\\\\"", {"C:\\My Store\\"}},
        {"UTF-8 passes unchanged", "\xD9\x81 \xE2\x82\xAC", {"\xD9\x81", "\xE2\x82\xAC"}},
    };
    plaintest::forEachRow(rows, [](const Row& row) {
        const std::vector<std::string> arguments = splitWindowsCommandLine(row.tail);
        PLAIN_CHECK_EQUAL(arguments.size(), row.arguments.size());
        for (std::size_t i = 0; i < arguments.size(); ++i)
            PLAIN_CHECK_EQUAL(arguments[i], row.arguments[i]);
    });
}

PLAIN_TEST_MAIN()
