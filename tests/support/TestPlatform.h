#pragma once

#include "platform/Platform.h"
#include "support/FakeApplicationInfo.h"
#include "support/FakeClock.h"
#include "support/RecordingLaunchCall.h"

#include <QTemporaryDir>

#include <memory>

// A platform for window tests: a fake clock, an executable directory in a fresh temporary folder (with a
// Temp folder in it, as the build lays out the program) and a shell call that records instead of starting.
struct TestPlatform
{
    TestPlatform();

    QTemporaryDir directory;
    std::shared_ptr<FakeClock> clock = std::make_shared<FakeClock>();
    std::shared_ptr<FakeApplicationInfo> application;
    RecordingLaunchCall shell;

    // The Platform to hand to a SchedulerWindow; this object must outlive the window.
    Platform platform();
    // The path of a file in the executable's directory.
    QString path(const QString& relativePath) const;
};
