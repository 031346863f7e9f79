#pragma once

// The program launcher: asks the operating system's shell to open a file (start a program with a
// parameter string, or open a document) and classifies the shell's answer. Plain C++ without Qt: it talks
// only to the operating system. All texts are UTF-8; the Windows shell call converts them to the system's
// ANSI code page itself.

#include "platform/ShellCall.h"

#include <cstdint>
#include <string>

// The process-wide record of the last launch failure; empty (0, "", "") after a successful GShell call.
struct ErrRecord
{
    std::int32_t Number = 0;
    std::string Source;
    std::string Description;

    void Clear();
    bool isEmpty() const { return Number == 0 && Source.empty() && Description.empty(); }
};

extern ErrRecord LastError;

// What GShell needs of its surroundings: the shell call to make, and the running executable's base name
// (the file name without directory and extension), which becomes the failure's source "<name>.GShell".
struct ShellContext
{
    ShellCall call = PlatformShellExecute;
    std::string applicationName;
};

// Opens file through the shell. Returns true when the shell reports success. On failure returns false and
// fills LastError (number, source, description) from the shell's result code. Never throws, never waits
// for the started program, keeps nothing between calls but LastError. operation and windowHandle are taken
// by reference and passed on to the shell unchanged.
bool GShell(const ShellContext& context, const std::string& file, std::int32_t showMode, const std::string& parameters,
            const std::string& directory, const std::string& operation, const std::int32_t& windowHandle);
