// One minute tick with six job rows due (all but the 11:50 backup, which no minute shares with the 11:00
// backup cleaning), a recording shell call, and a log pane already holding 0, 1,000 or 10,000 lines.
// The tick's cost must not grow with the pane. The window is shown, as in use, or not: a shown pane paints its
// lines between the ticks, and what that painting leaves in the caches the next tick pays for.

#include "log/LogJournal.h"
#include "support/TestPlatform.h"
#include "support/WindowControls.h"
#include "ui/ControlLatch.h"
#include "ui/SchedulerWindow.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTextCursor>

#include <benchmark/benchmark.h>

namespace {

void removeTopLines(LogPane& pane, int lines)
{
    QTextCursor cursor(pane.document());
    cursor.movePosition(QTextCursor::Start);
    cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor, lines);
    cursor.removeSelectedText();
}

const QString kLine = QStringLiteral("12/10/26 10:59:20 AM: Process Internet Orders!\r\n");

// Fills the pane with lines and, when shown, shows the window, so the pane lays out and paints its lines as it
// does in use.
void fillPane(SchedulerWindow& form, std::int64_t lines, bool shown = true)
{
    QString text;
    for (std::int64_t i = 0; i < lines; ++i)
        text += kLine;
    pane(form)->setText(text);
    if (shown)
        form.show();
    QApplication::processEvents();
}

// With journal, the window keeps the journal that the program keeps, in the test platform's state folder: each
// tick ends with one write and one flush of its six lines.
void tickWithSixRowsDue(benchmark::State& state, bool journal)
{
    TestPlatform platform;
    SchedulerWindow form(platform.platform());
    if (journal)
        form.recoverLastRun();
    for (ValueCheckBox* box : frame(form)->findChildren<ValueCheckBox*>())
        box->setValue(CheckBoxValue::Checked);
    combo(form, "cmbTransferMin")->setListIndex(4);
    combo(form, "cmbMIn")->setListIndex(4);
    combo(form, "cmbSMSTime")->setListIndex(3); // 11
    timer(form)->setInterval(60000);
    platform.clock->set(QDateTime(QDate(2026, 12, 10), QTime(11, 0, 20)));

    fillPane(form, state.range(0), state.range(1) != 0);

    for (auto _ : state) {
        form.tmrScheduler_Timer();
        state.PauseTiming();
        // The pane takes the tick's lines once the event loop runs again.
        QApplication::processEvents();
        removeTopLines(*pane(form), 6);
        setControlLatch(box(form, "chkCleanBackupDir"), QString());
        platform.shell.calls.clear();
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["pane_lines"] = static_cast<double>(state.range(0));
}

void BM_TickWithSixRowsDue(benchmark::State& state)
{
    tickWithSixRowsDue(state, false);
}

void BM_TickWithSixRowsDueAndJournal(benchmark::State& state)
{
    tickWithSixRowsDue(state, true);
}

// The journal's part of a tick on its own: six lines written and flushed to the disk.
void BM_JournalFlushOfSixLines(benchmark::State& state)
{
    QTemporaryDir folder;
    LogJournal journal(folder.filePath(QStringLiteral("j")).toStdString(),
                       folder.filePath(QStringLiteral("a")).toStdString());
    if (!journal.open())
        state.SkipWithError("the journal cannot be opened");
    const std::string lines = kLine.repeated(6).toStdString();
    for (auto _ : state) {
        journal.add(lines);
        journal.flush();
    }
}

// What the tick leaves for later: the pane takes the tick's six lines and paints them, once the event loop runs.
void BM_PaneTakesATicksLines(benchmark::State& state)
{
    TestPlatform platform;
    SchedulerWindow form(platform.platform());
    fillPane(form, state.range(0));
    const QString lines = kLine.repeated(6);

    for (auto _ : state) {
        pane(form)->prependText(lines);
        QApplication::processEvents();
        state.PauseTiming();
        removeTopLines(*pane(form), 6);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["pane_lines"] = static_cast<double>(state.range(0));
}

// For comparison: one pane line added the naive way, by reading and rewriting the whole pane text.
void BM_LineByRewritingThePane(benchmark::State& state)
{
    TestPlatform platform;
    SchedulerWindow form(platform.platform());
    fillPane(form, state.range(0));

    for (auto _ : state) {
        pane(form)->setText(kLine + pane(form)->text());
        state.PauseTiming();
        removeTopLines(*pane(form), 1);
        QApplication::processEvents();
        state.ResumeTiming();
    }
    state.counters["pane_lines"] = static_cast<double>(state.range(0));
}

} // namespace

BENCHMARK(BM_TickWithSixRowsDue)
    ->ArgNames({"lines", "shown"})
    ->ArgsProduct({{0, 1000, 10000}, {1, 0}})
    ->Unit(benchmark::kMicrosecond);
// The flush waits for the disk, not the processor: timed on the wall clock.
BENCHMARK(BM_TickWithSixRowsDueAndJournal)
    ->ArgNames({"lines", "shown"})
    ->ArgsProduct({{0, 10000}, {1}})
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_JournalFlushOfSixLines)->UseRealTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PaneTakesATicksLines)->Arg(0)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_LineByRewritingThePane)->Arg(0)->Arg(1000)->Arg(10000)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window writes its job choices to the settings store: keep them away from the user's own.
    QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
