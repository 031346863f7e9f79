#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal dialog from inside its own event loop, as an operator would. The answer function
// gets the dialog and returns false while it wants to wait longer (for a tick, say). A dialog that is still
// open after the deadline is rejected, so a failing test ends instead of hanging.
class ModalAnswer : public QObject
{
    Q_OBJECT

public:
    using Answer = std::function<bool(QWidget* dialog)>;

    explicit ModalAnswer(Answer answer, int deadlineMs = 10000);

    // The dialog that was shown, while it still exists; null when none was shown.
    QWidget* dialog() const { return m_dialog; }
    bool wasShown() const { return m_shown; }
    bool answered() const { return m_answered; }
    bool timedOut() const { return m_timedOut; }

private:
    void poll();

    Answer m_answer;
    QTimer m_poll;
    QElapsedTimer m_clock;
    int m_deadlineMs;
    QPointer<QWidget> m_dialog;
    bool m_shown = false;
    bool m_answered = false;
    bool m_timedOut = false;
};
