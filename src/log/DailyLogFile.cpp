#include "log/DailyLogFile.h"

#include "platform/FilePaths.h"

QString dailyLogFilePath(const QString& executableDirectory, const QDate& date)
{
    return fileInDirectory(executableDirectory, QLatin1String("Temp/") + dailyLogFileName(date));
}

QString dailyLogFileName(const QDate& date)
{
    return QLatin1String("zorScheduler-LOG-") + date.toString(u"yyyy-MM-dd") + QLatin1String(".log");
}
