#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <filesystem>
#include <vector>

#include "TempFolder.h"
#include "core/CEmuApp.h"
#include "core/CEmuShell.h"
#include "devices/CSound.h"
#include "host/CSdlWaveOut.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Counts the audio thread's wake calls; the test thread plays the user-interface thread.
class Wakeups {
public:
    void Signal()
    {
        std::lock_guard<std::mutex> guard(lock);
        ++count;
        changed.notify_all();
    }
    // Waits until at least n wakes have come. The limit only keeps a broken device from
    // hanging the test; a healthy one needs a few milliseconds per buffer.
    bool WaitFor(int n)
    {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(20), [&] { return count >= n; });
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    int count = 0;
};

// Recognisable loop bytes that never hit the zero level 0x80.
Bytes MakeLoop(std::size_t length, std::uint8_t first)
{
    Bytes bytes(length);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = static_cast<std::uint8_t>(first + i * 7);
        if (bytes[i] == 0x80)
            bytes[i] = 0x81;
    }
    return bytes;
}

Bytes Loop(const Bytes& sample, std::size_t count)
{
    Bytes out(count);
    for (std::size_t k = 0; k < count; ++k)
        out[k] = sample[k % sample.size()];
    return out;
}

void WriteSamples(const TempFolder& dir, const Bytes& hi, const Bytes& lo)
{
    dir.Write("slf.snd", 4000, 0x40);
    dir.Write("vco_slf.snd", 4000, 0x40);
    dir.Write("vco_lo.snd", lo);
    dir.Write("vco_hi.snd", hi);
    dir.Write("noise.snd", 1000, 0x40);
}

// What start-up asks of the user interface, with the SDL wave output behind it.
class AudioShell final : public CEmuShell {
public:
    void ReadSettings(Settings&) override {}
    bool CreateMainWindow() override { return true; }
    void DestroyMainWindow() override {}
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    CWaveOut& WaveOut() override { return waveOut; }
    void AppendAboutItem() override {}
    void ShowMainWindow() override { shown = true; }
    void EnableRun() override {}

    CSdlWaveOut waveOut;
    std::vector<std::string> messages;
    bool shown = false;
};

}  // namespace

TEST(SdlWaveOut, PlaysQueuedBuffersInOrderAndHandsThemBackOnTheCallersThread)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);  // plays in real time into nothing
    CSdlWaveOut out;
    Wakeups wakeups;
    out.SetWakeup([&] { wakeups.Signal(); });

    std::uint8_t bytes[3][110];
    WaveBuffer buffers[3];
    for (std::uintptr_t i = 0; i < 3; ++i) {
        std::fill(std::begin(bytes[i]), std::end(bytes[i]), static_cast<std::uint8_t>(i));
        buffers[i].data = bytes[i];
        buffers[i].length = 110;
        buffers[i].user = i;
    }
    ASSERT_TRUE(out.Prepare(buffers[0]));
    EXPECT_FALSE(out.Write(buffers[0])) << "no device yet";
    ASSERT_TRUE(out.Open());
    EXPECT_TRUE(out.Open()) << "already open";
    for (WaveBuffer& b : buffers)
        ASSERT_TRUE(out.Prepare(b) && out.Write(b));
    // Until handed back a buffer is the device's, however soon it has been played.
    EXPECT_FALSE(out.Write(buffers[1]));
    EXPECT_FALSE(out.Unprepare(buffers[1]));
    EXPECT_FALSE(out.Prepare(buffers[1]));

    ASSERT_TRUE(wakeups.WaitFor(3));
    std::vector<std::uintptr_t> order;
    out.DeliverFinished([&](WaveBuffer& b) {
        order.push_back(b.user);
        EXPECT_EQ(b.flags & (WaveBuffer::DONE | WaveBuffer::QUEUED), WaveBuffer::DONE);
        EXPECT_TRUE(out.Unprepare(b));
        if (b.user == 1) {
            EXPECT_TRUE(out.Prepare(b) && out.Write(b));  // queued again from the handler
        }
    });
    EXPECT_EQ(order, (std::vector<std::uintptr_t>{0, 1, 2}));

    ASSERT_TRUE(wakeups.WaitFor(4));
    order.clear();
    out.DeliverFinished([&](WaveBuffer& b) { order.push_back(b.user); });
    EXPECT_EQ(order, (std::vector<std::uintptr_t>{1}));

    // Buffers still queued when the device goes are simply dropped.
    ASSERT_TRUE(out.Prepare(buffers[0]) && out.Write(buffers[0]));
}

TEST(SdlWaveOut, ControlSequencePlaysTheExpectedBytesInOrder)
{
    TempFolder dir;
    const Bytes hi = MakeLoop(250, 0x11);
    const Bytes lo = MakeLoop(333, 0x95);
    WriteSamples(dir, hi, lo);
    const std::string output = dir.File("played.raw");
    ::setenv("SDL_AUDIODRIVER", "disk", 1);
    ::setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);

    {
        auto out = std::make_unique<CSdlWaveOut>();
        Wakeups wakeups;
        out->SetWakeup([&] { wakeups.Signal(); });
        CSound sound;
        sound.SetRetryDelay([](int) {});
        ASSERT_TRUE(sound.Init(*out));

        // The user-interface side: hand back buffers as the device finishes them.
        int delivered = 0;
        auto pump = [&](int buffers) {
            const int target = delivered + buffers;
            while (delivered < target) {
                ASSERT_TRUE(wakeups.WaitFor(delivered + 1));
                out->DeliverFinished([&](WaveBuffer& b) {
                    ++delivered;
                    sound.OnBufferDone(b);
                });
            }
        };
        // Each stretch is rendered into the buffers handed back while it is in force.
        Bytes expected;
        auto stretch = [&](std::uint8_t control, int buffers, const Bytes* sample) {
            sound.SetControl(control);
            const int before = delivered;
            pump(buffers);
            if (sample != nullptr) {
                const Bytes part = Loop(*sample, static_cast<std::size_t>(delivered - before) * 110);
                expected.insert(expected.end(), part.begin(), part.end());
            }
        };
        stretch(0x01, 8, &hi);
        stretch(0x03, 6, &lo);
        stretch(0x00, 5, nullptr);
        stretch(0x01, 4, &hi);  // the oscillator starts over

        // Stop handing buffers back: the ring plays out and the queue runs dry.
        ASSERT_TRUE(wakeups.WaitFor(delivered + CSound::BUFFER_COUNT));
        // The file lags the device by at most its stdio buffer; wait for dry output behind it.
        const auto drained = std::filesystem::file_size(output);
        const auto enough = drained + 8192 + 2 * CSdlWaveOut::DEVICE_SAMPLES + 2200;
        for (int i = 0; i < 2000 && std::filesystem::file_size(output) < enough; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));

        out.reset();  // closing the device closes the output file

        const Bytes played = dir.Read("played.raw");
        ASSERT_GE(played.size(), enough);
        // First the 20 silent buffers queued at start-up.
        EXPECT_EQ(Bytes(played.begin(), played.begin() + 20 * 110), Bytes(20 * 110, 0x80));
        // Then the sound, in order. A busy machine may let the queue run dry for a moment,
        // which plays silence; the samples themselves hold no 0x80.
        Bytes heard;
        std::copy_if(played.begin(), played.end(), std::back_inserter(heard),
                     [](std::uint8_t b) { return b != 0x80; });
        EXPECT_EQ(heard, expected);
        // The dry queue played silence after the last buffer.
        const auto lastSound = std::find_if(played.rbegin(), played.rend(), [](std::uint8_t b) { return b != 0x80; });
        EXPECT_GE(lastSound - played.rbegin(), 2200);
    }
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
}

TEST(SdlWaveOut, NoUsableDeviceFailsStartUpAfterTheRetries)
{
    ::setenv("SDL_AUDIODRIVER", "no-such-audio-driver", 1);
    {
        CSdlWaveOut out;
        EXPECT_FALSE(out.Open());
        EXPECT_FALSE(out.IsOpen());
    }

    TempFolder dir;
    dir.Write("basic.rom", 0x4000, 0x00);
    dir.Write("dev_dos.rom", 16, 0x00);
    dir.Write("dev_pr.rom", 16, 0x00);
    dir.Write("font.bin", 2560, 0x00);
    WriteSamples(dir, MakeLoop(250, 1), MakeLoop(333, 2));

    AudioShell shell;
    CEmuApp app(shell);
    std::vector<int> delays;
    app.Sound().SetRetryDelay([&](int ms) { delays.push_back(ms); });
    EXPECT_FALSE(app.Startup());
    EXPECT_EQ(shell.messages, (std::vector<std::string>{"Sound initialization failed!"}));
    EXPECT_EQ(delays, (std::vector<int>{1000, 1000, 1000}));
    EXPECT_FALSE(shell.shown);
    app.Shutdown();

    // With a device the same start-up goes through.
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    AudioShell working;
    CEmuApp second(working);
    second.Sound().SetRetryDelay([&](int ms) { delays.push_back(ms); });
    EXPECT_TRUE(second.Startup());
    EXPECT_TRUE(working.messages.empty());
    EXPECT_TRUE(working.shown);
    EXPECT_EQ(delays.size(), 3u);
    second.Shutdown();
}
