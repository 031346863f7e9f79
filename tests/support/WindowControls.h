#pragma once

// The window's controls as the operator's tools find them: by the names the system gives them. The form is
// the window's own; tests reach its controls as a user's tools would, and stop at once when a name is missing.

#include "scheduler/MinuteTimer.h"
#include "scheduler/SchedulerJob.h"
#include "ui/IndexComboBox.h"
#include "ui/LogPane.h"
#include "ui/StatusLamp.h"
#include "ui/ValueCheckBox.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>

template <typename Control>
Control* control(const QObject& window, const char* name)
{
    auto* found = window.findChild<Control*>(QLatin1String(name));
    if (!found)
        qFatal("The window has no %s named %s", Control::staticMetaObject.className(), name);
    return found;
}

inline ValueCheckBox* box(const QObject& window, const char* name)
{
    return control<ValueCheckBox>(window, name);
}

inline IndexComboBox* combo(const QObject& window, const char* name)
{
    return control<IndexComboBox>(window, name);
}

inline QPushButton* button(const QObject& window, const char* name)
{
    return control<QPushButton>(window, name);
}

inline QLabel* label(const QObject& window, const char* name)
{
    return control<QLabel>(window, name);
}

inline LogPane* pane(const QObject& window)
{
    return control<LogPane>(window, "txtLog");
}

inline MinuteTimer* timer(const QObject& window)
{
    return control<MinuteTimer>(window, "tmrScheduler");
}

inline StatusLamp* lamp(const QObject& window)
{
    return control<StatusLamp>(window, "shpStatus");
}

inline QFrame* frame(const QObject& window)
{
    return control<QFrame>(window, "fraCMD");
}

// The controls of a job row as the form names them: its check box, and the combo box that gives its number
// (nullptr for the rows without one).
inline ValueCheckBox* jobBox(const QObject& window, JobRow row)
{
    static const char* const names[] = {"chkTransferPerson", "chkProcessInternetOrders", "chkSendSms",
                                        "chkTransferData",   "chkCleanBackupDir",        "chkRunUpdateManager",
                                        "chkBackupDatabase"};
    return box(window, names[indexOf(row)]);
}

inline IndexComboBox* jobCombo(const QObject& window, JobRow row)
{
    switch (row) {
    case JobRow::TransferPerson:
        return combo(window, "cmbTransferMin");
    case JobRow::SendSms:
        return combo(window, "cmbSMSTime");
    case JobRow::TransferData:
        return combo(window, "cmbMIn");
    default:
        return nullptr;
    }
}
