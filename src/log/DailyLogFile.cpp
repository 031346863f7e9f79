#include "log/DailyLogFile.h"

#include <QDir>

QString dailyLogFilePath(const QString& executableDirectory, const QDate& date)
{
    return QDir::toNativeSeparators(QDir::fromNativeSeparators(executableDirectory) +
                                    QLatin1String("/Temp/zorScheduler-LOG-") + date.toString(u"yyyy-MM-dd") +
                                    QLatin1String(".log"));
}
