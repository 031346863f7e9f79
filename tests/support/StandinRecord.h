#pragma once

#include <string>
#include <vector>

// What the stand-in program (zor_standin) wrote about the start that created it. It writes the record to
// its own path plus ".txt", complete or not at all (it renames a finished file into place), so a test
// can wait for the file to appear and then read all of it.
struct StandinRecord
{
    std::string program;                // argv[0]
    std::vector<std::string> arguments; // argv[1] onwards
    std::string workingDirectory;
    long processId = 0;
    long sessionId = 0;               // POSIX only
    std::vector<int> openDescriptors; // POSIX only
    std::string blockedSignals;       // POSIX only: the mask as /proc shows it, in hexadecimal
    std::string ignoredSignals;       // POSIX only: likewise
    std::string commandLine;          // Windows only: the raw command line
};

std::string standinRecordPath(const std::string& programPath);

// False when there is no record (yet) for programPath.
bool readStandinRecord(const std::string& programPath, StandinRecord& record);
