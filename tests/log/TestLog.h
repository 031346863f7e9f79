#pragma once

#include "log/ActivityLog.h"
#include "support/TestPlatform.h"
#include "ui/LogPane.h"

// An activity log on a real pane, with a fake clock, in a program folder of its own (with Temp).
struct TestLog
{
    TestPlatform platform;
    LogPane pane;
    ActivityLog log{pane, *platform.clock, *platform.application};

    void at(int day, int hour, int minute, int second) { platform.clock->set(2026, 12, day, hour, minute, second); }
    // The daily log file of a day of December 2026.
    QString file(int day) const
    {
        return platform.path(QStringLiteral("Temp/zorScheduler-LOG-2026-12-%1.log").arg(day, 2, 10, QLatin1Char('0')));
    }
};
