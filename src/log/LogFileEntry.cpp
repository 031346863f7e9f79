#include "log/LogFileEntry.h"

LogWriteResult writeLogEntry(TextFileService& files, const std::string& path, const std::string& dateTimeText,
                             const std::string& message, bool overwrite)
{
    LogWriteResult result;
    if (!files.openForAppending(path)) {
        // Failing to open is the ordinary case for the first entry of a day: the file does not exist yet.
        const std::string openError = files.lastErrorText();
        if (!files.create(path, overwrite)) {
            const std::string& createError = files.lastErrorText();
            result.failure = path + ": " + (createError == openError ? openError : openError + "; " + createError);
            return result;
        }
    }
    const bool lineWritten = files.writeLine(dateTimeText + '\t' + message);
    const std::string writeError = files.lastErrorText();
    const bool closed = files.close();
    if (!lineWritten)
        result.failure = path + ": " + writeError;
    else if (!closed)
        result.failure = path + ": " + files.lastErrorText();
    result.written = lineWritten && closed;
    return result;
}
