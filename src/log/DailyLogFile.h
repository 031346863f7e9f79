#pragma once

#include <QDate>
#include <QString>

// The daily log file of a date: the Temp folder in the executable's directory, "zorScheduler-LOG-", the
// date as YYYY-MM-DD and ".log". The folder is never created by the program.
QString dailyLogFilePath(const QString& executableDirectory, const QDate& date);

// The daily log file's own name: "zorScheduler-LOG-", the date as YYYY-MM-DD and ".log".
QString dailyLogFileName(const QDate& date);
