// A clock for the real program that starts at a chosen local moment and runs a chosen number of times faster
// than the real one, so that a walk reaches the 07:00 archive in seconds. Loaded with LD_PRELOAD:
//   ZOR_CLOCK_START   the wall-clock time to start at, in seconds since the epoch
//   ZOR_CLOCK_SPEED   how many times faster than the real clock it runs (a whole number)
// Both clocks the program reads (the wall clock and the monotonic one its timers count on) run fast, and the
// waits of poll() and ppoll() are cut by the same factor, so a timer of a minute ends after a minute of this
// clock.
#define _GNU_SOURCE
#include <dlfcn.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/time.h>
#include <time.h>

static long long startNs, realStartNs, monoStartNs, speed = 1;
static int (*realClockGettime)(clockid_t, struct timespec*);

static long long nanoseconds(const struct timespec* t)
{
    return t->tv_sec * 1000000000LL + t->tv_nsec;
}

static void toTimespec(long long ns, struct timespec* t)
{
    t->tv_sec = ns / 1000000000LL;
    t->tv_nsec = ns % 1000000000LL;
}

// On the first reading, which may come from another library's constructor before this one's.
static void startClock(void)
{
    realClockGettime = (int (*)(clockid_t, struct timespec*))dlsym(RTLD_NEXT, "clock_gettime");
    const char* start = getenv("ZOR_CLOCK_START");
    const char* factor = getenv("ZOR_CLOCK_SPEED");
    struct timespec now;
    realClockGettime(CLOCK_REALTIME, &now);
    realStartNs = nanoseconds(&now);
    startNs = start ? atoll(start) * 1000000000LL : realStartNs;
    realClockGettime(CLOCK_MONOTONIC, &now);
    monoStartNs = nanoseconds(&now);
    speed = factor && atoll(factor) > 0 ? atoll(factor) : 1;
}

int clock_gettime(clockid_t clock, struct timespec* t)
{
    if (!realClockGettime)
        startClock();
    const int result = realClockGettime(clock, t);
    if (result != 0)
        return result;
    if (clock == CLOCK_REALTIME || clock == CLOCK_REALTIME_COARSE)
        toTimespec(startNs + (nanoseconds(t) - realStartNs) * speed, t);
    else if (clock == CLOCK_MONOTONIC || clock == CLOCK_MONOTONIC_COARSE || clock == CLOCK_MONOTONIC_RAW ||
             clock == CLOCK_BOOTTIME)
        toTimespec(monoStartNs + (nanoseconds(t) - monoStartNs) * speed, t);
    return 0;
}

int gettimeofday(struct timeval* tv, void* zone)
{
    (void)zone;
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    tv->tv_sec = t.tv_sec;
    tv->tv_usec = t.tv_nsec / 1000;
    return 0;
}

time_t time(time_t* out)
{
    struct timespec t;
    clock_gettime(CLOCK_REALTIME, &t);
    if (out)
        *out = t.tv_sec;
    return t.tv_sec;
}

int poll(struct pollfd* fds, nfds_t count, int timeout)
{
    static int (*realPoll)(struct pollfd*, nfds_t, int);
    if (!realPoll)
        realPoll = (int (*)(struct pollfd*, nfds_t, int))dlsym(RTLD_NEXT, "poll");
    return realPoll(fds, count, timeout > 0 ? (int)((timeout + speed - 1) / speed) : timeout);
}

int ppoll(struct pollfd* fds, nfds_t count, const struct timespec* timeout, const sigset_t* mask)
{
    static int (*realPpoll)(struct pollfd*, nfds_t, const struct timespec*, const sigset_t*);
    if (!realPpoll)
        realPpoll = (int (*)(struct pollfd*, nfds_t, const struct timespec*, const sigset_t*))dlsym(RTLD_NEXT,
                                                                                                      "ppoll");
    if (!timeout)
        return realPpoll(fds, count, timeout, mask);
    struct timespec shorter;
    toTimespec((nanoseconds(timeout) + speed - 1) / speed, &shorter);
    return realPpoll(fds, count, &shorter, mask);
}
