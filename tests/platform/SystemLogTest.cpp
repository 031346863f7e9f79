#include "platform/SystemLog.h"

#include <QTest>

#include <condition_variable>
#include <mutex>
#include <sstream>

namespace {

// A log that takes events, refuses them, or holds the writer until the test lets it go.
class TestSink final : public SystemLogSink
{
public:
    struct State
    {
        std::mutex lock;
        std::condition_variable changed;
        bool refusing = false;
        bool holding = false;
        int writing = 0;
        std::vector<SystemEvent> written;

        int writers()
        {
            const std::lock_guard<std::mutex> guard(lock);
            return writing;
        }
    };

    explicit TestSink(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    bool write(const SystemEvent& event) override
    {
        std::unique_lock<std::mutex> lock(m_state->lock);
        ++m_state->writing;
        m_state->changed.wait(lock, [this] { return !m_state->holding; });
        if (m_state->refusing)
            return false;
        m_state->written.push_back(event);
        return true;
    }

private:
    std::shared_ptr<State> m_state;
};

void setFlag(TestSink::State& state, bool TestSink::State::*flag, bool value)
{
    {
        const std::lock_guard<std::mutex> lock(state.lock);
        state.*flag = value;
    }
    state.changed.notify_all();
}

} // namespace

class SystemLogTest : public QObject
{
    Q_OBJECT

private slots:
    // Whatever the log does, sending returns at once; what it cannot take is counted, and the count is said
    // once, as one event, when it takes events again, and on standard error.
    void whatTheLogCannotTakeIsCountedAndSaidOnce_data()
    {
        QTest::addColumn<bool>("refusing");
        QTest::addColumn<bool>("holding");
        QTest::addColumn<int>("sent");
        QTest::addColumn<int>("written");
        QTest::addColumn<int>("dropped");
        QTest::addColumn<int>("capacity");
        QTest::newRow("a log that takes every event") << false << false << 10 << 10 << 0 << 64;
        QTest::newRow("a log that refuses, then takes") << true << false << 10 << 0 << 10 << 64;
        // One event in the writer's hands, four in the queue, the rest dropped.
        QTest::newRow("a log that hangs, then takes") << false << true << 10 << 5 << 5 << 4;
    }

    void whatTheLogCannotTakeIsCountedAndSaidOnce()
    {
        QFETCH(bool, refusing);
        QFETCH(bool, holding);
        QFETCH(int, sent);
        QFETCH(int, written);
        QFETCH(int, dropped);
        QFETCH(int, capacity);

        auto state = std::make_shared<TestSink::State>();
        state->refusing = refusing;
        state->holding = holding;
        std::ostringstream errors;
        {
            SystemLog log(std::make_unique<TestSink>(state), errors, std::size_t(capacity));
            QElapsedTimer sending;
            sending.start();
            for (int i = 0; i < sent; ++i) {
                log.send({SystemEventId::JobStarted, std::to_string(i), {}});
                // The first event reaches the writer before the others queue behind it.
                if (i == 0 && holding)
                    QTRY_COMPARE(state->writers(), 1);
            }
            QVERIFY(sending.elapsed() < 1000);
            if (!holding)
                QVERIFY(log.drain(std::chrono::seconds(5)));
            QCOMPARE(log.droppedCount(), std::uint64_t(dropped));

            setFlag(*state, &TestSink::State::holding, false);
            setFlag(*state, &TestSink::State::refusing, false);
            QVERIFY(log.drain(std::chrono::seconds(5)));
            log.send({SystemEventId::TimerStarted, "after", {}});
            QVERIFY(log.drain(std::chrono::seconds(5)));
        }

        const std::lock_guard<std::mutex> lock(state->lock);
        const auto count = [&state](SystemEventId id) {
            return std::count_if(state->written.begin(), state->written.end(),
                                 [id](const SystemEvent& event) { return event.id == id; });
        };
        QCOMPARE(count(SystemEventId::JobStarted), written);
        QCOMPARE(count(SystemEventId::TimerStarted), 1);
        QCOMPARE(count(SystemEventId::EventsDropped), dropped > 0 ? 1 : 0);
        if (dropped == 0) {
            QCOMPARE(errors.str(), std::string());
            return;
        }
        const auto told = std::find_if(state->written.begin(), state->written.end(), [](const SystemEvent& event) {
            return event.id == SystemEventId::EventsDropped;
        });
        QCOMPARE(systemEventType(told->id), SystemEventType::Warning);
        QCOMPARE(told->fields.at(0).value, std::to_string(dropped));
        QCOMPARE(errors.str(), "zorScheduler: " + told->text + '\n');
    }
};

QTEST_GUILESS_MAIN(SystemLogTest)
#include "SystemLogTest.moc"
