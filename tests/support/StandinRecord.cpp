#include "support/StandinRecord.h"

#include <filesystem>
#include <fstream>
#include <sstream>

std::string standinRecordPath(const std::string& programPath)
{
    return programPath + ".txt";
}

bool readStandinRecord(const std::string& programPath, StandinRecord& record)
{
    // The path is UTF-8; on Windows a plain narrow path would be read in the ANSI code page.
    std::ifstream in(std::filesystem::u8path(standinRecordPath(programPath)), std::ios::binary);
    if (!in)
        return false;
    record = StandinRecord();
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos)
            continue;
        const std::string key = line.substr(0, equals);
        const std::string value = line.substr(equals + 1);
        if (key == "program")
            record.program = value;
        else if (key == "arg")
            record.arguments.push_back(value);
        else if (key == "cwd")
            record.workingDirectory = value;
        else if (key == "pid")
            record.processId = std::stol(value);
        else if (key == "sid")
            record.sessionId = std::stol(value);
        else if (key == "sigblk")
            record.blockedSignals = value;
        else if (key == "sigign")
            record.ignoredSignals = value;
        else if (key == "commandLine")
            record.commandLine = value;
        else if (key == "fds") {
            std::istringstream list(value);
            int descriptor = 0;
            while (list >> descriptor)
                record.openDescriptors.push_back(descriptor);
        }
    }
    return true;
}
