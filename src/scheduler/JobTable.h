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

// The moment of the first tick, from the one planned at firstTick on, that starts the job by the table's own due
// rule (the one the tick asks) with the selected number: ticks fall at second 30 of each minute of the local wall
// clock. A latched job (its Tag set) is not started again before a tick has found it not due, as the tick does.
// Empty when no tick within a month of minutes from firstTick starts it (no usable period, for one). It assumes
// the box ticked and the timer running; why a job does not run at all is the caller's to say.
std::optional<QDateTime> nextJobStart(const SchedulerJob& job, const QDateTime& firstTick, std::optional<int> selected,
                                      bool latched = false);

// The daily archive of the log pane: at 07:00, at most once per due window.
bool isLogArchiveDue(const QDateTime& now);

// The number that a combo box entry's text spells, the period or hour of its job; empty for a text that spells
// none (also the empty text of no entry).
std::optional<int> numberSpelledBy(const QString& entryText);
