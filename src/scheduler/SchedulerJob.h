#pragma once

#include <QDateTime>

#include <cstddef>
#include <optional>

// The seven jobs, named as the table (JobTable.h) lists them.
enum class JobRow
{
    TransferPerson,
    ProcessInternetOrders,
    SendSms,
    TransferData,
    CleanBackupDir,
    RunUpdateManager,
    BackupDatabase
};
inline constexpr std::size_t kJobRowCount = 7;

constexpr std::size_t indexOf(JobRow row)
{
    return static_cast<std::size_t>(row);
}

// What the number that a row's combo box selects means to its due rule.
enum class JobNumber
{
    None,   // the row has no combo box
    Period, // minutes, counted from the full hour
    Hour    // the hour on the 24-hour clock
};

enum class JobProgram
{
    MainApplication, // "Velmora.exe"
    Updater          // "UpdateManager.exe"
};

// One row of the fixed job table (JobTable.h). A row is considered only when its check box reads exactly
// CheckBoxValue::Checked.
struct SchedulerJob
{
    JobRow row;
    // The job's name, as the system log's events name it.
    const char* name;
    // The due condition on the local date-time of the tick and the number that the row's combo box selects
    // (period or hour), which is empty when the row has no combo box or no usable entry is selected.
    bool (*isDue)(const QDateTime& now, std::optional<int> selected);
    JobNumber number;
    // The marker kept in the Tag of the row's check box while its due window lasts; nullptr for rows without
    // latch.
    const char* latchMarker;
    JobProgram program;
    const char* parameters;
    int showMode;
    const char* logText;
};
