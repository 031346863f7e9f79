#include "launcher/mdlShellExecute.h"
#include "support/PlainTest.h"
#include "support/StandinRecord.h"
#include "support/TempFolder.h"

#include <filesystem>
#include <string>

#include <windows.h>

// The real ShellExecuteA through GShell: run on Windows, or under Wine.

namespace fs = std::filesystem;

namespace {

// The folder as a path; its texts are UTF-8.
fs::path pathOf(const TempFolder& folder)
{
    return fs::u8path(folder.pathOf(""));
}

// The stand-in built beside this test, copied to folder/name; name and the path returned are UTF-8.
std::string installStandin(const fs::path& folder, const std::string& name)
{
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    const fs::path standin = fs::path(std::wstring(self, length)).parent_path() / L"zor_standin.exe";
    const fs::path target = folder / fs::u8path(name);
    fs::copy_file(standin, target, fs::copy_options::overwrite_existing);
    return target.u8string();
}

bool launch(const std::string& file, std::int32_t showMode, const std::string& parameters,
            const std::string& directory = std::string())
{
    std::string operation = "open";
    std::int32_t windowHandle = 0;
    return GShell({PlatformShellExecute, "zorScheduler"}, file, showMode, parameters, directory, operation,
                  windowHandle);
}

StandinRecord waitForRecord(const std::string& program)
{
    StandinRecord record;
    PLAIN_CHECK(plaintest::waitUntil([&] { return readStandinRecord(program, record); }));
    return record;
}

} // namespace

PLAIN_TEST(aMissingProgramIsFileNotFound)
{
    TempFolder folder;
    PLAIN_CHECK(!launch((pathOf(folder) / "Velmora.exe").u8string(), 0, ";;;;;;;;;;True"));
    PLAIN_CHECK_EQUAL(LastError.Number, 53);
    PLAIN_CHECK_EQUAL(LastError.Description, std::string("File not found"));
    PLAIN_CHECK_EQUAL(LastError.Source, std::string("zorScheduler.GShell"));

    // Windows may answer a missing folder with "Path not found"; Wine answers "File not found" for both.
    PLAIN_CHECK(!launch((pathOf(folder) / "no folder" / "Velmora.exe").u8string(), 0, ";;;;;;;;;;True"));
    PLAIN_CHECK(LastError.Number == 53 || LastError.Number == 76);
}

PLAIN_TEST(aStartedProgramReceivesTheParameterString)
{
    struct Row
    {
        const char* name;
        const char* program;
        std::int32_t showMode;
        const char* parameters;
    };
    const Row rows[] = {
        {"the main application backing up the database", "Velmora.exe", 0, ";;false;;False;TrueOnExit"},
        {"the updater asked for the system's default window", "UpdateManager.exe", 10, "True"},
        {"a program in a folder whose name is not ASCII", "Caf\xC3\xA9\\Velmora.exe", 0, ";;;;;;;;;;;True"},
    };
    plaintest::forEachRow(rows, [](const Row& row) {
        TempFolder folder;
        fs::create_directories((pathOf(folder) / fs::u8path(row.program)).parent_path());
        const std::string program = installStandin(pathOf(folder), row.program);
        PLAIN_CHECK(launch(program, row.showMode, row.parameters));
        PLAIN_CHECK(LastError.isEmpty());
        const StandinRecord record = waitForRecord(program);
        PLAIN_CHECK_EQUAL(record.arguments.size(), 1u);
        PLAIN_CHECK_EQUAL(record.arguments.at(0), std::string(row.parameters));
        const std::string tail = std::string(" ") + row.parameters;
        PLAIN_CHECK(record.commandLine.size() > tail.size());
        PLAIN_CHECK_EQUAL(record.commandLine.substr(record.commandLine.size() - tail.size()), tail);
    });
}

PLAIN_TEST(aGivenWorkingDirectoryIsTheProgramsCurrentDirectory)
{
    TempFolder folder;
    const fs::path work = pathOf(folder) / "work";
    fs::create_directories(work);
    const std::string program = installStandin(pathOf(folder), "Velmora.exe");
    PLAIN_CHECK(launch(program, 0, "", work.u8string()));
    const StandinRecord record = waitForRecord(program);
    PLAIN_CHECK(fs::equivalent(fs::u8path(record.workingDirectory), work));
}

PLAIN_TEST_MAIN()
