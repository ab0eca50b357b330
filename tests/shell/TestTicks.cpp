// The 20 ms tick source: one callback per expiry, none after Stop(), no second start; and,
// through the event poster, ticks arriving as events on this thread. The intervals measured
// there are logged as the tick jitter; nothing here asserts on time.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <numeric>

#include <QTest>

#include "TestRegistry.h"
#include "host/CTickSource.h"
#include "shell/CEventPoster.h"
#include "shell/ShellEvents.h"

namespace {

class TickReceiver final : public QObject {
public:
    std::vector<std::chrono::steady_clock::time_point> arrivals;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != WM_EMU_TICK)
            return QObject::event(event);
        arrivals.push_back(std::chrono::steady_clock::now());
        return true;
    }
};

class TickTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void CallsOncePerExpiryUntilStopped()
    {
        std::atomic<int> calls{0};
        CTickSource ticks(std::chrono::milliseconds(2));
        QVERIFY(!ticks.Running());
        QVERIFY(ticks.Start([&calls] { ++calls; }));
        QVERIFY(ticks.Running());
        QVERIFY(!ticks.Start([] {}));
        QTRY_VERIFY(calls.load() >= 5);
        ticks.Stop();
        QVERIFY(!ticks.Running());
        const int stopped = calls.load();
        QTest::qWait(20);
        QCOMPARE(calls.load(), stopped);
        ticks.Stop();
        // It can start again after a stop.
        QVERIFY(ticks.Start([&calls] { ++calls; }));
        QTRY_VERIFY(calls.load() > stopped);

        CTickSource broken(std::chrono::milliseconds(0));
        QVERIFY(!broken.Start([] {}));
        CTickSource empty(std::chrono::milliseconds(20));
        QVERIFY(!empty.Start(nullptr));
    }

    void PostsEveryTickAndLogsTheJitter()
    {
        TickReceiver receiver;
        CEventPoster poster;
        poster.SetTarget(&receiver);
        CTickSource ticks(std::chrono::milliseconds(20));
        QVERIFY(ticks.Start([&poster] { poster.Post(WM_EMU_TICK); }));
        const std::size_t wanted = 101;
        QTRY_VERIFY_WITH_TIMEOUT(receiver.arrivals.size() >= wanted, 20000);
        ticks.Stop();
        poster.SetTarget(nullptr);
        QVERIFY(!poster.Post(WM_EMU_TICK));

        std::vector<double> intervals;
        for (std::size_t i = 1; i < wanted; ++i)
            intervals.push_back(std::chrono::duration<double, std::milli>(receiver.arrivals[i] -
                                                                           receiver.arrivals[i - 1]).count());
        const double mean = std::accumulate(intervals.begin(), intervals.end(), 0.0) / intervals.size();
        const auto [low, high] = std::minmax_element(intervals.begin(), intervals.end());
        double deviation = 0;
        for (double value : intervals)
            deviation += (value - mean) * (value - mean);
        deviation = std::sqrt(deviation / intervals.size());
        qInfo("tick intervals over %zu ticks at the UI thread: mean %.3f ms, min %.3f ms, max %.3f ms, "
              "std dev %.3f ms",
              intervals.size(), mean, *low, *high, deviation);
        QVERIFY(mean > 0);
    }
};

}  // namespace

const ShellTests::Registration tickTest([] { return static_cast<QObject*>(new TickTest); });
#include "TestTicks.moc"
