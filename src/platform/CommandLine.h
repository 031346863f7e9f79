#pragma once

#include <string>
#include <vector>

// Splits a command-line tail into arguments by the rules Windows programs apply to their own command line
// (blanks separate arguments, double quotes group, backslashes escape only in front of a double quote), so
// a program started here receives the same arguments it would receive on Windows.
std::vector<std::string> splitWindowsCommandLine(const std::string& commandLineTail);
