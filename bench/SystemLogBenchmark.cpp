// The cost of one event for the system log: what the caller (a tick, a command) pays to hand it over, and what
// the log's own thread pays to write it to the journal. A tick with six starts sends six or seven events.
//   SystemLogBenchmark                 the hand-over; the journal write is skipped where no journal runs
//   run it as root in a mount namespace with a journal socket of its own to measure the write as well

#include "platform/SystemLog.h"

#include <benchmark/benchmark.h>

#include <sstream>

namespace {

SystemEvent jobStart()
{
    return {SystemEventId::JobStarted,
            "Process Internet Orders!",
            {{"JOB", "ProcessInternetOrders"},
             {"PROGRAM", "/opt/store/Velmora.exe"},
             {"PARAMETERS", ";;;;;;;;;;;;;;;True"},
             {"PROCESS_ID", "123456"}}};
}

class DiscardingSink final : public SystemLogSink
{
public:
    bool write(const SystemEvent&) override { return true; }
};

// send() as a tick calls it: the event is made and queued; the log's thread writes it elsewhere.
void handOver(benchmark::State& state)
{
    std::ostringstream errors;
    SystemLog log(std::make_unique<DiscardingSink>(), errors, 1 << 20);
    for (auto _ : state)
        benchmark::DoNotOptimize(log.send(jobStart()));
    state.counters["dropped"] = static_cast<double>(log.droppedCount());
}
BENCHMARK(handOver);

// One event written to the journal's socket, as the log's thread does it.
void journalWrite(benchmark::State& state)
{
    std::string whyNot;
    const std::unique_ptr<SystemLogSink> sink = openPlatformSystemLog("zorScheduler", whyNot);
    if (!sink) {
        state.SkipWithError(whyNot.c_str());
        return;
    }
    const SystemEvent event = jobStart();
    for (auto _ : state)
        benchmark::DoNotOptimize(sink->write(event));
}
BENCHMARK(journalWrite);

} // namespace

BENCHMARK_MAIN();
