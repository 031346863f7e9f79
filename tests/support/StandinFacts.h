#pragma once

#include <string>
#include <vector>

// Facts about the stand-in's own process that only the platform can tell, as "key=value" lines of its
// record: the process id everywhere; session, open descriptors and signal state on POSIX; the raw command line
// on Windows.
std::vector<std::string> standinProcessFacts();

// The local date and time, to the millisecond, as "YYYY-MM-DD HH:MM:SS.mmm".
std::string standinLocalTime();

// The command line the stand-in was started with, in UTF-8: on Windows the raw one, as the system hands it
// over (program and parameters in one text); elsewhere the arguments joined by blanks.
std::string standinCommandLine(int argc, char** argv);

// Appends line and a line feed to the file at path, creating it, in one write that other stand-ins started at
// the same moment cannot split.
bool appendStandinLine(const std::string& path, const std::string& line);
