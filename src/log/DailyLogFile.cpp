#include "log/DailyLogFile.h"

#include "scheduler/ApplicationInfo.h"

QString dailyLogFilePath(const QString& executableDirectory, const QDate& date)
{
    return fileInDirectory(executableDirectory, QLatin1String("Temp/zorScheduler-LOG-") + date.toString(u"yyyy-MM-dd") +
                                                    QLatin1String(".log"));
}
