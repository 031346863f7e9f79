#pragma once

#include <QDateTime>

// The local wall clock. Every "now" of the program goes through one Clock, so tests can drive the
// scheduler through months of minutes without waiting.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
