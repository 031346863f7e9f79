#pragma once

#include "platform/SystemLaunch.h"

#include <cstdint>
#include <string>
#include <vector>

// A shell call that records every call and answers with a preset result code, or, told so, makes the real call.
class RecordingLaunchCall
{
public:
    struct Call
    {
        std::intptr_t windowHandle;
        std::string operation;
        std::string file;
        std::string parameters;
        std::string directory;
        std::int32_t showMode;
    };

    // The result code returned for every call; 42 (success) unless a test sets another.
    std::int32_t result = 42;
    bool startsForReal = false;
    std::vector<Call> calls;

    // A LaunchCall that records into this object, which must outlive it.
    LaunchCall shellCall();
};
