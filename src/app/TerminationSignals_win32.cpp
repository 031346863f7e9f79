#include "app/TerminationSignals.h"

// A Windows program without a console gets no termination signals; the session's end reaches the window
// as a close request.
void TerminationSignals::install() {}

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {}

TerminationSignals::~TerminationSignals() = default;

void TerminationSignals::readPending() {}
