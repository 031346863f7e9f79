#include "support/RecordingLaunchCall.h"

LaunchCall RecordingLaunchCall::shellCall()
{
    return [this](std::intptr_t windowHandle, const char* operation, const char* file, const char* parameters,
                  const char* directory, std::int32_t showMode) {
        calls.push_back({windowHandle, operation, file, parameters, directory, showMode});
        return startsForReal ? systemLaunch(windowHandle, operation, file, parameters, directory, showMode) : result;
    };
}
