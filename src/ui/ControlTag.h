#pragma once

#include <QObject>
#include <QString>

// Every control carries a free Tag text, empty as created. The scheduler keeps its two job latches in the
// Tags of chkCleanBackupDir and txtLog; they live in memory only.
QString controlTag(const QObject* control);
void setControlTag(QObject* control, const QString& tag);
