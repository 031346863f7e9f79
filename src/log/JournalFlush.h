#pragma once

#include "log/ActivityLog.h"

// Makes the pane lines that a handler of the window added durable as the handler returns, in one write and one
// flush for all of them. A tick that runs while a handler waits for the operator's answer flushes its own lines
// as it ends.
class JournalFlush
{
public:
    explicit JournalFlush(ActivityLog& log) : m_log(log) {}
    ~JournalFlush() { m_log.flushJournal(); }
    JournalFlush(const JournalFlush&) = delete;
    JournalFlush& operator=(const JournalFlush&) = delete;

private:
    ActivityLog& m_log;
};
