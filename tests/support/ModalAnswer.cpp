#include "support/ModalAnswer.h"

#include <QApplication>
#include <QDialog>

ModalAnswer::ModalAnswer(Answer answer, int deadlineMs) : m_answer(std::move(answer)), m_deadlineMs(deadlineMs)
{
    connect(&m_poll, &QTimer::timeout, this, &ModalAnswer::poll);
    m_poll.start(5);
    m_clock.start();
}

void ModalAnswer::poll()
{
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal)
        return;
    m_dialog = modal;
    m_shown = true;
    if (m_answer(modal)) {
        m_answered = true;
        m_poll.stop();
    } else if (m_clock.hasExpired(m_deadlineMs)) {
        m_timedOut = true;
        m_poll.stop();
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
    }
}
