#pragma once

#include <string>
#include <vector>

// Facts about the stand-in's own process that only the platform can tell, as "key=value" lines of its
// record: the process id everywhere; session, open descriptors and signal state on POSIX; the raw command line
// on Windows.
std::vector<std::string> standinProcessFacts();
