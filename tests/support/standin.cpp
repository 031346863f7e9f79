#include "support/StandinFacts.h"
#include "support/StandinRecord.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

// Stands in for the started programs: records how it was started beside itself and ends at once.
int main(int argc, char** argv)
{
    if (argc < 1)
        return 2;
    const std::string program = argv[0];
    const std::string recordPath = standinRecordPath(program);
    const std::string partPath = recordPath + ".part";
    // Gathered before the record is opened, which would show up among the open descriptors.
    const std::vector<std::string> facts = standinProcessFacts();
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
    return std::rename(partPath.c_str(), recordPath.c_str()) == 0 ? 0 : 1;
}
