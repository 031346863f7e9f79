#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the termination requests of the operating system (on POSIX: SIGTERM, SIGINT and SIGHUP) into a Qt
// signal on the main thread, where the program can end in order and give up its single-instance lock.
// One object at a time.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    // The process's own signal handling, for good: the first thing main() does, before the application
    // object exists, since until then the default action ends the program. A request that comes before the
    // object below is made waits for it. Also makes a write to a standard stream that nobody reads, and a
    // write over the file-size limit, fail as an error rather than end the program.
    static void install();

    // Delivers the requests that came since install(), and those to come, through the event loop.
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void readPending();

    QSocketNotifier* m_notifier = nullptr;
};
