#pragma once

struct ProcessEnd;
class TickWindow;

// One minute tick: starts every ticked job that is due at this moment, in table order, with a pane line
// for each start, then applies the 07:00 archive rule. The timer is off while the tick runs, so ticks never
// overlap, and it is on again when the tick ends, whatever happened in between.
void runJobTick(TickWindow& window);

// A program that a job started has ended: the system log is told which job it was, its exit code or signal and
// its run time; a code other than 0 is an error. The end of a process no job started is not told.
void reportJobEnd(TickWindow& window, const ProcessEnd& end);
