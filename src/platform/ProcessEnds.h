#pragma once

// What the platform's shell calls tell about the programs they start, for SystemLaunch.h's readers.

#include "platform/SystemLaunch.h"

// The calling thread's next takeStartedProcessId() answers processId.
void recordStartedProcess(std::int64_t processId);

// Hands end to the handler of setProcessEndHandler(), if there is one; from any thread.
void reportProcessEnd(const ProcessEnd& end);
