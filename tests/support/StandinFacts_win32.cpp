#include "support/StandinFacts.h"

#include <windows.h>

std::vector<std::string> standinProcessFacts()
{
    return {"pid=" + std::to_string(GetCurrentProcessId()), std::string("commandLine=") + GetCommandLineA()};
}
