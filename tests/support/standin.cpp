#include "support/StandinFacts.h"
#include "support/StandinRecord.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

// Stands in for the started programs: records how it was started beside itself and ends at once. The record
// of the last start is "<program>.txt"; every start also adds a line to "<program>.starts": the local time,
// the working directory and the command line, separated by TABs. It ends with the exit code that
// ZOR_STANDIN_EXIT_CODE holds, if set, as a program that failed would; started with the parameter string that
// ZOR_STANDIN_RUNS_ON holds, it runs on for an hour first, as a long transfer would.
int main(int argc, char** argv)
{
    if (argc < 1)
        return 2;
    const std::string program = argv[0];
    const std::string recordPath = standinRecordPath(program);
    // Gathered before the record is opened, which would show up among the open descriptors.
    const std::vector<std::string> facts = standinProcessFacts();
    // Stand-ins started at the same moment each write a part of their own.
    const std::string partPath = recordPath + ".part-" + facts.front().substr(facts.front().find('=') + 1);
    std::error_code error;
    const std::string workingDirectory = std::filesystem::current_path(error).string();
    {
        std::ofstream out(partPath, std::ios::binary | std::ios::trunc);
        out << "program=" << program << '\n';
        for (int i = 1; i < argc; ++i)
            out << "arg=" << argv[i] << '\n';
        out << "cwd=" << workingDirectory << '\n';
        for (const std::string& fact : facts)
            out << fact << '\n';
        if (!out.flush())
            return 1;
    }
    // std::filesystem replaces an existing record also on Windows, where std::rename refuses to.
    std::filesystem::rename(partPath, recordPath, error);
    const std::string start = standinLocalTime() + '\t' + workingDirectory + '\t' + standinCommandLine(argc, argv);
    if (!appendStandinLine(program + ".starts", start) || error)
        return 1;
    const char* const runsOn = std::getenv("ZOR_STANDIN_RUNS_ON");
    if (runsOn && argc > 1 && std::string(argv[1]) == runsOn)
        std::this_thread::sleep_for(std::chrono::hours(1));
    const char* const exitCode = std::getenv("ZOR_STANDIN_EXIT_CODE");
    return exitCode ? std::atoi(exitCode) : 0;
}
