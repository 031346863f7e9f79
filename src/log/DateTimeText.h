#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// The date-time text that opens every pane line and every log file entry: the locale's short date, a blank
// and the locale's long time without a time-zone name, written with ASCII digits whatever digits the locale
// uses. QLocale() is the user's locale unless a test has set another default.
QString dateTimeText(const QDateTime& moment, const QLocale& locale = QLocale());
