#include "scheduler/JobTable.h"

#include "platform/FilePaths.h"

namespace {

// A period counts from every full hour: with 7 the job is due at minutes 0, 7, ..., 56 and again at 0.
// Without a usable period the job is not due (a period of 0 has no rhythm at all).
bool everyPeriod(const QDateTime& now, std::optional<int> period)
{
    return period && *period > 0 && now.time().minute() % *period == 0;
}

bool everyTick(const QDateTime&, std::optional<int>)
{
    return true;
}

// The selected hour on the 24-hour clock; no selected hour is never due (rather than midnight).
bool atSelectedHour(const QDateTime& now, std::optional<int> hour)
{
    return hour && now.time().hour() == *hour && now.time().minute() == 0;
}

// 11:00 on days 5, 10, 15, 20, 25 and 30 of every month.
bool cleanBackupDay(const QDateTime& now, std::optional<int>)
{
    return now.date().day() % 5 == 0 && now.time().hour() == 11 && now.time().minute() == 0;
}

bool everyFiveMinutes(const QDateTime& now, std::optional<int>)
{
    return now.time().minute() % 5 == 0;
}

bool backupTime(const QDateTime& now, std::optional<int>)
{
    return now.time().hour() == 11 && now.time().minute() == 50;
}

constexpr std::array<SchedulerJob, kJobRowCount> kJobTable = {{
    {JobRow::TransferPerson, "TransferPerson", everyPeriod, JobNumber::Period, nullptr, JobProgram::MainApplication,
     ";;;;;;;;;;True", 0, ": Transfer Person And Copoun executed!"},
    {JobRow::ProcessInternetOrders, "ProcessInternetOrders", everyTick, JobNumber::None, nullptr,
     JobProgram::MainApplication, ";;;;;;;;;;;;;;;True", 0, ": Process Internet Orders!"},
    {JobRow::SendSms, "SendSms", atSelectedHour, JobNumber::Hour, nullptr, JobProgram::MainApplication,
     ";;;;;;;;;;;True", 0, ": Send Birth, Wedding and ImportantDate SMS!"},
    {JobRow::TransferData, "TransferData", everyPeriod, JobNumber::Period, nullptr, JobProgram::MainApplication,
     ";;false;;False;False;True", 0, ": Transfer Data !"},
    {JobRow::CleanBackupDir, "CleanBackupDir", cleanBackupDay, JobNumber::None, "CLEANBACKUP",
     JobProgram::MainApplication, ";;false;;False;CLEANBAKDIR365", 0, ": Clean Backup Directory (for 365 days)!"},
    {JobRow::RunUpdateManager, "RunUpdateManager", everyFiveMinutes, JobNumber::None, nullptr, JobProgram::Updater,
     "True", 10, ": Update Manager Started!"},
    {JobRow::BackupDatabase, "BackupDatabase", backupTime, JobNumber::None, nullptr, JobProgram::MainApplication,
     ";;false;;False;TrueOnExit", 0, ": Backup database to Exit folder"},
}};

constexpr bool jobRowsInOrder()
{
    for (std::size_t i = 0; i < kJobTable.size(); ++i) {
        if (indexOf(kJobTable[i].row) != i)
            return false;
    }
    return true;
}
static_assert(jobRowsInOrder(), "every job's row stands at the row's own place");

} // namespace

const std::array<SchedulerJob, kJobRowCount> kSchedulerJobs = kJobTable;

const char* jobName(JobRow row)
{
    return kSchedulerJobs.at(indexOf(row)).name;
}

QString programFile(const QString& directory, JobProgram program)
{
    return fileInDirectory(directory, program == JobProgram::Updater ? QStringLiteral("UpdateManager.exe")
                                                                     : QStringLiteral("Velmora.exe"));
}

std::optional<QDateTime> nextJobStart(const SchedulerJob& job, const QDateTime& firstTick, std::optional<int> selected,
                                      bool latched)
{
    // Minute by minute through the job's own rule, so that this and the tick can never disagree. The rules read
    // only the wall clock's date, hour and minute, which a UTC date-time carries without a time-zone lookup for
    // each minute. Asked only when a text is made, never by the tick itself.
    constexpr int kMonthOfMinutes = 31 * 24 * 60;
    const QTime tickTime(firstTick.time().hour(), firstTick.time().minute(), 30);
    QDateTime wall(firstTick.date(), tickTime, Qt::UTC);
    bool stillLatched = latched;
    for (int minute = 0; minute < kMonthOfMinutes; ++minute, wall = wall.addSecs(60)) {
        if (!job.isDue(wall, selected)) {
            stillLatched = false;
            continue;
        }
        if (stillLatched)
            continue;
        // A minute that the local clock skips (summer time begins) has no tick.
        const QDateTime local(wall.date(), wall.time());
        if (local.isValid() && local.time() == wall.time())
            return local;
    }
    return std::nullopt;
}

bool isLogArchiveDue(const QDateTime& now)
{
    return now.time().hour() == 7 && now.time().minute() == 0;
}

std::optional<int> numberSpelledBy(const QString& entryText)
{
    bool ok = false;
    const int number = entryText.toInt(&ok);
    return ok ? std::optional<int>(number) : std::nullopt;
}
