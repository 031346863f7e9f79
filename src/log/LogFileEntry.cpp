#include "log/LogFileEntry.h"

LogWriteResult writeLogEntry(TextFileService& files, const std::string& path, const std::string& dateTimeText,
                             const std::string& message, bool overwrite)
{
    LogWriteResult result;
    if (!files.openForAppending(path)) {
        // Failing to open is the ordinary case for the first entry of a day, when the file does not exist yet;
        // its reason only matters when the creation fails too.
        const std::string openError = files.lastErrorText();
        if (!files.create(path, overwrite)) {
            const std::string& createError = files.lastErrorText();
            result.failure = createError == openError ? openError : openError + "; " + createError;
            return result;
        }
    }
    const bool lineWritten = files.writeLine(dateTimeText + '\t' + message);
    const std::string writeError = files.lastErrorText();
    const bool closed = files.close();
    if (!lineWritten)
        result.failure = writeError;
    else if (!closed)
        result.failure = files.lastErrorText();
    result.written = lineWritten && closed;
    return result;
}
