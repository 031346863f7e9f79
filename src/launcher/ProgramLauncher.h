#pragma once

// The program launcher: asks the operating system to open a file (start a program with a parameter string, or
// open a document) and classifies its answer, which has the shape of the Windows shell's result codes. Plain C++
// without Qt: it talks only to the operating system. All texts are UTF-8; the Windows call converts them to the
// system's ANSI code page itself.

#include "platform/SystemLaunch.h"

#include <cstdint>
#include <string>

// The process-wide record of the last launch failure; empty (0, "", "") after a successful startProgram call.
struct LaunchFailure
{
    std::int32_t number = 0;
    std::string source;
    std::string description;

    void clear();
    bool isEmpty() const { return number == 0 && source.empty() && description.empty(); }
};

extern LaunchFailure lastLaunchFailure;

// What startProgram needs of its surroundings: the launch call to make, and the running executable's base name
// (the file name without directory and extension), which becomes the failure's source "<name>.GShell".
struct LaunchContext
{
    LaunchCall call = systemLaunch;
    std::string applicationName;
};

// Opens file through the launch call. Returns true when it reports success. On failure returns false and
// fills lastLaunchFailure (number, source, description) from the result code. Never throws, never waits
// for the started program, keeps nothing between calls but lastLaunchFailure. operation and windowHandle are taken
// by reference and passed on to the launch call unchanged.
bool startProgram(const LaunchContext& context, const std::string& file, std::int32_t showMode,
                  const std::string& parameters, const std::string& directory, const std::string& operation,
                  const std::int32_t& windowHandle);
