#include "support/StandinFacts.h"

#include <dirent.h>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string statusField(const std::string& name)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.compare(0, name.size() + 1, name + ":") == 0)
            return line.substr(line.find_first_not_of(" \t", name.size() + 1));
    }
    return std::string();
}

std::string openDescriptors()
{
    std::string descriptors;
    DIR* dir = opendir("/proc/self/fd");
    if (!dir)
        return descriptors;
    const int own = dirfd(dir);
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.' || std::stoi(entry->d_name) == own)
            continue;
        descriptors += std::string(entry->d_name) + ' ';
    }
    closedir(dir);
    return descriptors;
}

} // namespace

std::vector<std::string> standinProcessFacts()
{
    return {"pid=" + std::to_string(getpid()), "sid=" + std::to_string(getsid(0)), "fds=" + openDescriptors(),
            "sigblk=" + statusField("SigBlk"), "sigign=" + statusField("SigIgn")};
}
