#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the termination requests of the operating system (on POSIX: SIGTERM, SIGINT and SIGHUP) into a Qt
// signal on the main thread, where the program can end in order and give up its single-instance lock.
// One object at a time; the default handling returns when it is destroyed.
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

signals:
    void received(int signalNumber);

private:
    void readPending();

    QSocketNotifier* m_notifier = nullptr;
};
