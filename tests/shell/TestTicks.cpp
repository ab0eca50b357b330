// The 20 ms tick source: one callback per expiry, none after Stop(), no second start; and,
// through the event poster, ticks arriving as events on this thread. The intervals measured
// there are logged as the tick jitter; nothing here asserts on time.
#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>

#include <QTest>

#include "ShellTest.h"
#include "host/CTickSource.h"

void ShellTest::TickSourceCallsOncePerExpiryUntilStopped()
{
    std::atomic<int> calls{0};
    CTickSource ticks(std::chrono::milliseconds(2));
    QVERIFY(!ticks.Running());
    QVERIFY(ticks.Start([&calls] { ++calls; }));
    QVERIFY(ticks.Running() && !ticks.Start([] {}));
    QTRY_VERIFY(calls.load() >= 5);
    ticks.Stop();
    QVERIFY(!ticks.Running());
    const int stopped = calls.load();
    QTest::qWait(20);
    QCOMPARE(calls.load(), stopped);
    ticks.Stop();
    QVERIFY(ticks.Start([&calls] { ++calls; }));  // it starts again after a stop
    QTRY_VERIFY(calls.load() > stopped);
    QVERIFY(!CTickSource(std::chrono::milliseconds(0)).Start([] {}));
    QVERIFY(!CTickSource(std::chrono::milliseconds(20)).Start(nullptr));
}

void ShellTest::TicksArriveAsEventsAndTheJitterIsLogged()
{
    struct Receiver final : QObject {
        std::vector<std::chrono::steady_clock::time_point> arrivals;
        bool event(QEvent* event) override
        {
            if (event->type() != WM_EMU_TICK)
                return QObject::event(event);
            arrivals.push_back(std::chrono::steady_clock::now());
            return true;
        }
    } receiver;
    CEventPoster poster;
    poster.SetTarget(&receiver);
    CTickSource ticks(std::chrono::milliseconds(20));
    QVERIFY(ticks.Start([&poster] { poster.Post(WM_EMU_TICK); }));
    const std::size_t wanted = 101;
    QTRY_VERIFY_WITH_TIMEOUT(receiver.arrivals.size() >= wanted, 20000);
    ticks.Stop();

    std::vector<double> ms;
    for (std::size_t i = 1; i < wanted; ++i)
        ms.push_back(std::chrono::duration<double, std::milli>(receiver.arrivals[i] - receiver.arrivals[i - 1]).count());
    const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / ms.size();
    double square = 0;
    for (double value : ms)
        square += (value - mean) * (value - mean);
    const auto [low, high] = std::minmax_element(ms.begin(), ms.end());
    qInfo("tick intervals over %zu ticks at the UI thread: mean %.3f ms, min %.3f ms, max %.3f ms, std dev %.3f ms",
          ms.size(), mean, *low, *high, std::sqrt(square / ms.size()));
    QVERIFY(mean > 0);
}
