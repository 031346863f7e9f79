#pragma once

#include "platform/ApplicationInfo.h"
#include "platform/Clock.h"
#include "platform/SystemLaunch.h"

#include <memory>

// The operating system as the window sees it: the local clock, what the program knows of its own executable,
// and the shell call through which jobs are started. The program runs on the real ones; tests hand the
// window a fake clock, a temporary directory and, where no real process is wanted, a recording shell call.
struct Platform
{
    std::shared_ptr<const Clock> clock;
    std::shared_ptr<const ApplicationInfo> application;
    LaunchCall shellCall;

    static Platform running();
};
