#pragma once

#include "platform/TextFileService.h"

#include <string>

// The result of writing one log file entry.
struct LogWriteResult
{
    bool written = false;
    std::string failure; // why nothing (or not all) was written; empty when written
};

// Appends one log file entry: dateTimeText, a TAB, message, CR LF. Opens path for appending and, when that
// fails, creates it (replacing an existing file only when overwrite is true). A failing step does not stop
// the next one: a failed write is still followed by the close. Reports whether the entry was written.
LogWriteResult writeLogEntry(TextFileService& files, const std::string& path, const std::string& dateTimeText,
                             const std::string& message, bool overwrite);
