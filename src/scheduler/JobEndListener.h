#pragma once

class QObject;
class TickWindow;

// Hands the end of every program that a job started to reportJobEnd on window, on the thread of context (the
// window itself), between ticks. The newest listener is the one that hears; once it is gone nobody does, and an
// end already on its way to its context is dropped with that context.
class JobEndListener
{
public:
    JobEndListener(QObject& context, TickWindow& window);
    ~JobEndListener();
    JobEndListener(const JobEndListener&) = delete;
    JobEndListener& operator=(const JobEndListener&) = delete;

private:
    static JobEndListener* s_newest;
};
