#pragma once

// The Application log's side of a kind of event. Windows only.

#include "platform/SystemLog.h"

// The event ID that a kind is reported under: its number in the low word and its type's severity in the top
// two bits, as the message compiler numbers the program's message table. Event Viewer shows the low word as
// the Event ID, and looks the full value up in the table for the event's text.
unsigned long eventLogId(SystemEventId id);
