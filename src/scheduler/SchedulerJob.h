#pragma once

#include <QDateTime>
#include <QString>

#include <optional>

enum class JobProgram
{
    MainApplication, // "Velmora.exe"
    Updater          // "UpdateManager.exe"
};

// One row of the fixed job table (JobTable.h). A row is considered only when its check box reads exactly 1.
struct SchedulerJob
{
    int order;
    const char* checkBox;
    // The combo box whose selected entry gives the row's number (period or hour); nullptr when none.
    const char* numberCombo;
    // The due condition on the local date-time of the tick and the selected number, which is empty when
    // the combo box has no usable entry selected.
    bool (*isDue)(const QDateTime& now, std::optional<int> selected);
    // The marker kept in the check box's Tag while the row's due window lasts; nullptr for rows without latch.
    const char* latchMarker;
    JobProgram program;
    const char* parameters;
    int showMode;
    const char* logText;
};
