#pragma once

class TickWindow;

// One minute tick: starts every ticked job that is due at this moment, in table order, with a pane line
// for each start, then applies the 07:00 archive rule. The timer is off while the tick runs, so ticks never
// overlap, and it is on again when the tick ends, whatever happened in between.
void runJobTick(TickWindow& window);
