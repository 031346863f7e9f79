#include "launcher/ProgramLauncher.h"
#include "platform/SystemLaunch.h"
#include "support/StandinRecord.h"
#include "support/StdStringCompare.h"
#include "support/TempFolder.h"

#include <QTest>

#include <chrono>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include <windows.h>

// The real ShellExecuteA through startProgram: run on Windows, or under Wine.

namespace fs = std::filesystem;
using namespace std::string_literals;

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
    return startProgram({systemLaunch, "zorScheduler"}, file, showMode, parameters, directory, operation, windowHandle);
}

// How long a started stand-in may take to write its record.
constexpr int recordTimeout = 10000;

// The ends that the shell call tells while this lives.
class EndsSeen
{
public:
    EndsSeen()
    {
        setProcessEndHandler([this](const ProcessEnd& end) {
            const std::lock_guard<std::mutex> lock(m_lock);
            m_ends.push_back(end);
        });
    }
    ~EndsSeen() { setProcessEndHandler({}); }
    EndsSeen(const EndsSeen&) = delete;
    EndsSeen& operator=(const EndsSeen&) = delete;

    std::vector<ProcessEnd> ends() const
    {
        const std::lock_guard<std::mutex> lock(m_lock);
        return m_ends;
    }

private:
    mutable std::mutex m_lock;
    std::vector<ProcessEnd> m_ends;
};

// The stand-ins started while this lives end with exitCode.
class StandinExitCode
{
public:
    explicit StandinExitCode(std::int32_t exitCode)
    {
        SetEnvironmentVariableW(variable, std::to_wstring(exitCode).c_str());
    }
    ~StandinExitCode() { SetEnvironmentVariableW(variable, nullptr); }
    StandinExitCode(const StandinExitCode&) = delete;
    StandinExitCode& operator=(const StandinExitCode&) = delete;

private:
    static constexpr const wchar_t* variable = L"ZOR_STANDIN_EXIT_CODE";
};

} // namespace

class WindowsShellTest : public QObject
{
    Q_OBJECT

private slots:
    void aMissingProgramIsFileNotFound();
    void aStartedProgramReceivesTheParameterString_data();
    void aStartedProgramReceivesTheParameterString();
    void aGivenWorkingDirectoryIsTheProgramsCurrentDirectory();
    void aStartedProgramsEndIsToldWithItsExitCode_data();
    void aStartedProgramsEndIsToldWithItsExitCode();
};

void WindowsShellTest::aMissingProgramIsFileNotFound()
{
    TempFolder folder;
    QVERIFY(!launch((pathOf(folder) / "Velmora.exe").u8string(), 0, ";;;;;;;;;;True"));
    QCOMPARE(lastLaunchFailure.number, 53);
    QCOMPARE(lastLaunchFailure.description, "File not found"s);
    QCOMPARE(lastLaunchFailure.source, "zorScheduler.GShell"s);
    QCOMPARE(takeStartedProcessId(), std::int64_t(0));

    // Windows may answer a missing folder with "Path not found"; Wine answers "File not found" for both.
    QVERIFY(!launch((pathOf(folder) / "no folder" / "Velmora.exe").u8string(), 0, ";;;;;;;;;;True"));
    QVERIFY(lastLaunchFailure.number == 53 || lastLaunchFailure.number == 76);
}

void WindowsShellTest::aStartedProgramReceivesTheParameterString_data()
{
    QTest::addColumn<std::string>("program");
    QTest::addColumn<std::int32_t>("showMode");
    QTest::addColumn<std::string>("parameters");

    QTest::newRow("the main application backing up the database")
        << "Velmora.exe"s << 0 << ";;false;;False;TrueOnExit"s;
    QTest::newRow("the updater asked for the system's default window") << "UpdateManager.exe"s << 10 << "True"s;
    QTest::newRow("a program in a folder whose name is not ASCII")
        << "Caf\xC3\xA9\\Velmora.exe"s << 0 << ";;;;;;;;;;;True"s;
}

void WindowsShellTest::aStartedProgramReceivesTheParameterString()
{
    QFETCH(std::string, program);
    QFETCH(std::int32_t, showMode);
    QFETCH(std::string, parameters);

    TempFolder folder;
    fs::create_directories((pathOf(folder) / fs::u8path(program)).parent_path());
    const std::string installed = installStandin(pathOf(folder), program);
    QVERIFY(launch(installed, showMode, parameters));
    QVERIFY(lastLaunchFailure.isEmpty());
    StandinRecord record;
    QTRY_VERIFY_WITH_TIMEOUT(readStandinRecord(installed, record), recordTimeout);
    QCOMPARE(record.arguments.size(), std::size_t(1));
    QCOMPARE(record.arguments.at(0), parameters);
    const std::string tail = " " + parameters;
    QVERIFY(record.commandLine.size() > tail.size());
    QCOMPARE(record.commandLine.substr(record.commandLine.size() - tail.size()), tail);
}

void WindowsShellTest::aGivenWorkingDirectoryIsTheProgramsCurrentDirectory()
{
    TempFolder folder;
    const fs::path work = pathOf(folder) / "work";
    fs::create_directories(work);
    const std::string program = installStandin(pathOf(folder), "Velmora.exe");
    QVERIFY(launch(program, 0, "", work.u8string()));
    StandinRecord record;
    QTRY_VERIFY_WITH_TIMEOUT(readStandinRecord(program, record), recordTimeout);
    QVERIFY(fs::equivalent(fs::u8path(record.workingDirectory), work));
}

void WindowsShellTest::aStartedProgramsEndIsToldWithItsExitCode_data()
{
    QTest::addColumn<std::int32_t>("exitCode");

    QTest::newRow("a program that succeeded") << 0;
    QTest::newRow("a program that failed") << 3;
    // 0xC0000005, an access violation: an exit code above INT_MAX comes out negative.
    QTest::newRow("a program that crashed") << -1073741819;
}

void WindowsShellTest::aStartedProgramsEndIsToldWithItsExitCode()
{
    QFETCH(std::int32_t, exitCode);

    TempFolder folder;
    const std::string program = installStandin(pathOf(folder), "Velmora.exe");
    const EndsSeen seen;
    const StandinExitCode told(exitCode);
    const auto before = std::chrono::steady_clock::now();
    QVERIFY(launch(program, 0, ";;;;;;;;;;True"));
    const std::int64_t processId = takeStartedProcessId();
    QVERIFY(processId != 0);
    QCOMPARE(takeStartedProcessId(), std::int64_t(0));
    StandinRecord record;
    QTRY_VERIFY_WITH_TIMEOUT(readStandinRecord(program, record), recordTimeout);
    QCOMPARE(std::int64_t(record.processId), processId);

    QTRY_VERIFY_WITH_TIMEOUT(!seen.ends().empty(), recordTimeout);
    const auto elapsed =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before).count();
    const std::vector<ProcessEnd> ends = seen.ends();
    QCOMPARE(ends.size(), std::size_t(1));
    QCOMPARE(ends.front().processId, processId);
    QCOMPARE(ends.front().exitCode, exitCode);
    QCOMPARE(ends.front().signal, 0);
    QVERIFY2(ends.front().runTimeMs >= 0 && ends.front().runTimeMs <= elapsed,
             (std::to_string(ends.front().runTimeMs) + " ms of " + std::to_string(elapsed)).c_str());
}

QTEST_GUILESS_MAIN(WindowsShellTest)
#include "WindowsShellTest.moc"
