#include "platform/Platform.h"

Platform Platform::running()
{
    return {std::make_shared<SystemClock>(), std::make_shared<RunningApplicationInfo>(), systemLaunch};
}
