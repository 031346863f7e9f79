#pragma once

#include "scheduler/SchedulerJob.h"

#include <QDateTime>
#include <QString>

#include <array>
#include <optional>

// The seven jobs, in the order every tick evaluates and starts them, which is JobRow's order.
extern const std::array<SchedulerJob, kJobRowCount> kSchedulerJobs;

// The row's name, as the system log's events name the job.
const char* jobName(JobRow row);

// The job program's file in the executable's directory.
QString programFile(const QString& directory, JobProgram program);

// The daily archive of the log pane: at 07:00, at most once per due window.
bool isLogArchiveDue(const QDateTime& now);

// The number that a combo box entry's text spells, the period or hour of its job; empty for a text that spells
// none (also the empty text of no entry).
std::optional<int> numberSpelledBy(const QString& entryText);
