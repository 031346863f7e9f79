#include "platform/SystemLog.h"

#include <QTest>

#include <condition_variable>
#include <mutex>
#include <sstream>

namespace {

// A log that takes events, refuses them, or holds its writer until the test lets it go.
struct TestSink final : SystemLogSink
{
    struct State
    {
        std::mutex lock;
        std::condition_variable changed;
        bool refusing = false;
        bool holding = false;
        int writers = 0;
        std::vector<SystemEventId> written;
    };
    std::shared_ptr<State> state;

    explicit TestSink(std::shared_ptr<State> shared) : state(std::move(shared)) {}

    bool write(const SystemEvent& event) override
    {
        std::unique_lock<std::mutex> lock(state->lock);
        ++state->writers;
        state->changed.wait(lock, [this] { return !state->holding; });
        if (!state->refusing)
            state->written.push_back(event.id);
        return !state->refusing;
    }
};

} // namespace

class SystemLogTest : public QObject
{
    Q_OBJECT

private slots:
    // Whatever the log does, sending returns at once; what it cannot take is counted, and the count is said
    // once, as one event when it takes events again, and on standard error.
    void whatTheLogCannotTakeIsCountedAndSaidOnce_data()
    {
        QTest::addColumn<bool>("refusing");
        QTest::addColumn<bool>("holding");
        QTest::addColumn<int>("capacity");
        QTest::addColumn<int>("dropped");
        QTest::newRow("a log that takes every event") << false << false << 64 << 0;
        QTest::newRow("a log that refuses, then takes") << true << false << 64 << 10;
        // One event in the writer's hands, four in the queue, the rest dropped.
        QTest::newRow("a log that hangs, then takes") << false << true << 4 << 5;
    }

    void whatTheLogCannotTakeIsCountedAndSaidOnce()
    {
        QFETCH(bool, refusing);
        QFETCH(bool, holding);
        QFETCH(int, capacity);
        QFETCH(int, dropped);
        auto state = std::make_shared<TestSink::State>();
        state->refusing = refusing;
        state->holding = holding;
        const auto writers = [&state] {
            const std::lock_guard<std::mutex> lock(state->lock);
            return state->writers;
        };
        std::ostringstream errors;
        {
            SystemLog log(std::make_unique<TestSink>(state), errors, std::size_t(capacity));
            QElapsedTimer sending;
            sending.start();
            for (int i = 0; i < 10; ++i) {
                log.send({SystemEventId::JobStarted, std::to_string(i), {}});
                if (holding)
                    QTRY_COMPARE(writers(), 1);
            }
            QVERIFY(sending.elapsed() < 1000);
            QVERIFY(log.drain(std::chrono::milliseconds(holding ? 0 : 5000)) != holding);
            QCOMPARE(log.droppedCount(), std::uint64_t(dropped));
            {
                const std::lock_guard<std::mutex> lock(state->lock);
                state->holding = state->refusing = false;
            }
            state->changed.notify_all();
            QVERIFY(log.drain(std::chrono::seconds(5)));
            log.send({SystemEventId::TimerStarted, "after", {}});
            QVERIFY(log.drain(std::chrono::seconds(5)));
        }
        const std::vector<SystemEventId>& written = state->written;
        QCOMPARE(std::count(written.begin(), written.end(), SystemEventId::JobStarted), 10 - dropped);
        QCOMPARE(std::count(written.begin(), written.end(), SystemEventId::TimerStarted), 1);
        QCOMPARE(std::count(written.begin(), written.end(), SystemEventId::EventsDropped), dropped > 0 ? 1 : 0);
        QCOMPARE(errors.str(), dropped > 0 ? "zorScheduler: " + std::to_string(dropped) +
                                                 " events could not be sent to the system log and were dropped.\n"
                                           : std::string());
    }
};

QTEST_GUILESS_MAIN(SystemLogTest)
#include "SystemLogTest.moc"
