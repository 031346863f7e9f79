#include "launcher/ProgramLauncher.h"

LaunchFailure lastLaunchFailure;

void LaunchFailure::clear()
{
    number = 0;
    source.clear();
    description.clear();
}

namespace {

// The shell's failure codes 0 to 32 and what they become in lastLaunchFailure. A row without its own number keeps
// the computed one (the code plus 0x80040418); codes not listed share the last, generic message.
struct ShellFailure
{
    std::int32_t code;
    bool hasNumber;
    std::int32_t number;
    const char* description;
};

constexpr ShellFailure shellFailures[] = {
    {0, true, 7, "Out of memory"},
    {2, true, 53, "File not found"},
    {3, true, 76, "Path not found"},
    {5, true, 75, "Path/file access error"},
    {8, true, 7, "Out of memory"},
    {11, false, 0, "The executable file is invalid or corrupt"},
    {26, true, 75, "A sharing violation occurred."},
    {27, false, 0, "This file type does not have a valid file association."},
    {28, true, 286, "The file could not be opened due to time out.  Please try again in a moment."},
    {29, true, 285, "The file could not be opened because the DDE transaction failed.  Please try again in a moment."},
    {30, true, 285,
     "The file could not be opened because the target application is busy.  Please try again in a moment."},
    {31, false, 0, "No application is associated with this file type."},
    {32, true, 48, "The specified dynamic-link library was not found."},
};

constexpr const char* otherShellFailure =
    "An error occurred occurred whilst trying to open or print the selected file.";

// 0x80040418 as a signed 32-bit value; the code (0 to 32) is added without overflow.
constexpr std::int32_t shellFailureBase = -2147220456;

char asciiUpper(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The file text is compared upper-cased, so ".exe" counts in any letter case and anywhere in the text, not
// only at its end. Only ASCII letters are folded, which leaves the bytes of UTF-8 text as they are.
bool containsExe(const std::string& file)
{
    static const char pattern[] = ".EXE";
    constexpr std::size_t patternLength = sizeof pattern - 1;
    for (std::size_t start = 0; start + patternLength <= file.size(); ++start) {
        std::size_t matched = 0;
        while (matched < patternLength && asciiUpper(file[start + matched]) == pattern[matched])
            ++matched;
        if (matched == patternLength)
            return true;
    }
    return false;
}

std::int32_t callShell(const LaunchContext& context, std::intptr_t windowHandle, const std::string& operation,
                       const std::string& file, const std::string& parameters, const std::string& directory,
                       std::int32_t showMode)
{
    if (!context.call)
        return 0;
    try {
        return context.call(windowHandle, operation.c_str(), file.c_str(), parameters.c_str(), directory.c_str(),
                            showMode);
    } catch (...) {
        return 0;
    }
}

void recordShellFailure(std::int32_t code, const std::string& applicationName)
{
    lastLaunchFailure.number = shellFailureBase + code;
    lastLaunchFailure.description = otherShellFailure;
    for (const ShellFailure& failure : shellFailures) {
        if (failure.code != code)
            continue;
        if (failure.hasNumber)
            lastLaunchFailure.number = failure.number;
        lastLaunchFailure.description = failure.description;
        break;
    }
    lastLaunchFailure.source = applicationName + ".GShell";
}

} // namespace

bool startProgram(const LaunchContext& context, const std::string& file, std::int32_t showMode,
                  const std::string& parameters, const std::string& directory, const std::string& operation,
                  const std::int32_t& windowHandle)
{
    if (containsExe(file))
        showMode = 0;
    lastLaunchFailure.clear();

    std::int32_t result = 0;
    if (parameters.empty() && directory.empty())
        result = callShell(context, windowHandle, operation, file, std::string(), std::string(), 1);
    else
        result = callShell(context, windowHandle, operation, file, parameters, directory, showMode);

    if (result < 0 || result > 32)
        return true;
    recordShellFailure(result, context.applicationName);
    return false;
}
