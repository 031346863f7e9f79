#include "platform/ProcessEnds.h"

#include <mutex>

namespace {

thread_local std::int64_t startedProcessId = 0;

std::mutex handlerLock;
std::function<void(const ProcessEnd&)> endHandler;

} // namespace

void recordStartedProcess(std::int64_t processId)
{
    startedProcessId = processId;
}

std::int64_t takeStartedProcessId()
{
    const std::int64_t processId = startedProcessId;
    startedProcessId = 0;
    return processId;
}

void setProcessEndHandler(std::function<void(const ProcessEnd&)> handler)
{
    const std::lock_guard<std::mutex> lock(handlerLock);
    endHandler = std::move(handler);
}

void reportProcessEnd(const ProcessEnd& end)
{
    try {
        const std::lock_guard<std::mutex> lock(handlerLock);
        if (endHandler)
            endHandler(end);
    } catch (...) {
        // An end that cannot be told changes nothing the program does.
    }
}
