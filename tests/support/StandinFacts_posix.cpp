#include "support/StandinFacts.h"

#include <chrono>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
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

std::string standinLocalTime()
{
    const auto now = std::chrono::system_clock::now();
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local = {};
    localtime_r(&seconds, &local);
    char text[32];
    std::strftime(text, sizeof(text), "%Y-%m-%d %H:%M:%S", &local);
    char withMilliseconds[40];
    std::snprintf(withMilliseconds, sizeof(withMilliseconds), "%s.%03d", text, static_cast<int>(milliseconds));
    return withMilliseconds;
}

std::string standinCommandLine(int argc, char** argv)
{
    std::string line;
    for (int i = 0; i < argc; ++i)
        line += (i > 0 ? " " : "") + std::string(argv[i]);
    return line;
}

bool appendStandinLine(const std::string& path, const std::string& line)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const std::string bytes = line + '\n';
    const bool written = ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    return ::close(fd) == 0 && written;
}

std::vector<std::string> standinProcessFacts()
{
    return {"pid=" + std::to_string(getpid()), "sid=" + std::to_string(getsid(0)), "fds=" + openDescriptors(),
            "sigblk=" + statusField("SigBlk"), "sigign=" + statusField("SigIgn")};
}
