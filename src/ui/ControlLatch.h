#pragma once

#include <QObject>
#include <QString>

// Every control carries a free Tag text, empty as created. The scheduler keeps its two job latches in the
// Tags of chkCleanBackupDir and txtLog; they live in memory only.
QString controlLatch(const QObject* control);
void setControlLatch(QObject* control, const QString& tag);
