#include <gtest/gtest.h>

#include <signal.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "TempFolder.h"
#include "core/CEmuApp.h"
#include "core/CEmuShell.h"
#include "devices/CSound.h"
#include "host/CSdlWaveOut.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// Counts the audio thread's wake calls; the test thread plays the user-interface thread. The
// wait's limit only keeps a broken device from hanging the test.
struct Wakeups {
    std::mutex lock;
    std::condition_variable changed;
    int count = 0;

    void Signal()
    {
        const std::lock_guard<std::mutex> guard(lock);
        ++count;
        changed.notify_all();
    }
    bool WaitFor(int n)
    {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(20), [&] { return count >= n; });
    }
};

// count bytes of a recognisable loop that never hits the zero level 0x80.
Bytes Loop(std::size_t length, std::uint8_t first, std::size_t count)
{
    Bytes out(count);
    for (std::size_t k = 0; k < count; ++k) {
        const auto b = static_cast<std::uint8_t>(first + k % length * 7);
        out[k] = b == 0x80 ? 0x81 : b;
    }
    return out;
}

// The five samples: the oscillator's high and low recordings are loops of 250 and 333 bytes.
void WriteSamples(const TempFolder& dir)
{
    for (const char* name : {"slf.snd", "vco_slf.snd", "noise.snd"})
        dir.Write(name, 4000, 0x40);
    dir.Write("vco_hi.snd", Loop(250, 0x11, 250));
    dir.Write("vco_lo.snd", Loop(333, 0x95, 333));
}

// What start-up asks of the user interface, with the SDL wave output behind it.
class AudioShell final : public CEmuShell {
public:
    void ReadSettings(Settings&) override {}
    bool CreateMainWindow() override { return true; }
    void DestroyMainWindow() override {}
    void ShowMessage(const std::string& text) override { messages.push_back(text); }
    void ExplainFailure(const std::string& line) override { messages.push_back(line); }
    CWaveOut& WaveOut() override { return waveOut; }
    void AppendAboutItem() override {}
    void ShowMainWindow() override { shown = true; }
    void EnableRun() override {}

    CSdlWaveOut waveOut;
    std::vector<std::string> messages;
    bool shown = false;
};

// Puts SIGINT and SIGTERM at their default for its lifetime, so that a check for handlers
// installed behind our back also holds when the test was started with a signal ignored.
class DefaultSignals {
public:
    DefaultSignals()
    {
        struct sigaction plain {};
        plain.sa_handler = SIG_DFL;
        ::sigemptyset(&plain.sa_mask);
        for (std::size_t k = 0; k < NUMBERS.size(); ++k)
            ::sigaction(NUMBERS[k], &plain, &saved[k]);
    }
    ~DefaultSignals()
    {
        for (std::size_t k = 0; k < NUMBERS.size(); ++k)
            ::sigaction(NUMBERS[k], &saved[k], nullptr);
    }
    DefaultSignals(const DefaultSignals&) = delete;
    DefaultSignals& operator=(const DefaultSignals&) = delete;

    static constexpr std::array<int, 2> NUMBERS{SIGINT, SIGTERM};

private:
    std::array<struct sigaction, 2> saved{};
};

}  // namespace

TEST(SdlWaveOut, KeepsQueuedBuffersUntilHandedBackInOrderOnTheCallersThread)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);  // plays in real time into nothing
    CSdlWaveOut out;
    Wakeups wakeups;
    out.SetWakeup([&] { wakeups.Signal(); });
    std::uint8_t bytes[3][110] = {};
    WaveBuffer buffers[3];
    for (std::uintptr_t i = 0; i < 3; ++i)
        buffers[i] = {bytes[i], 110, i, 0};
    ASSERT_TRUE(out.Prepare(buffers[0]));
    EXPECT_FALSE(out.Write(buffers[0])) << "no device yet";
    const DefaultSignals defaults;
    ASSERT_TRUE(out.Open() && out.Open()) << "opening an open device succeeds";
    // SDL left the signals alone: they still end the process unless its owner says otherwise.
    for (int number : DefaultSignals::NUMBERS) {
        struct sigaction now {};
        ::sigaction(number, nullptr, &now);
        EXPECT_TRUE(now.sa_handler == SIG_DFL) << number;
    }
    for (WaveBuffer& b : buffers)
        ASSERT_TRUE(out.Prepare(b) && out.Write(b));
    // Until handed back a buffer is the device's, however soon it has been played.
    EXPECT_FALSE(out.Write(buffers[1]) || out.Unprepare(buffers[1]) || out.Prepare(buffers[1]));
    ASSERT_TRUE(wakeups.WaitFor(3));
    std::vector<std::uintptr_t> order;
    out.DeliverFinished([&](WaveBuffer& b) {
        order.push_back(b.user);
        EXPECT_EQ(b.flags & (WaveBuffer::DONE | WaveBuffer::QUEUED), WaveBuffer::DONE);
        EXPECT_TRUE(out.Unprepare(b));
    });
    EXPECT_EQ(order, (std::vector<std::uintptr_t>{0, 1, 2}));
    ASSERT_TRUE(out.Prepare(buffers[0]) && out.Write(buffers[0])) << "dropped when the device goes";
}

TEST(SdlWaveOut, ControlSequencePlaysTheExpectedBytesInOrder)
{
    TempFolder dir;
    WriteSamples(dir);
    const std::string output = dir.File("played.raw");
    ::setenv("SDL_AUDIODRIVER", "disk", 1);  // the stream lands in a file
    ::setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    auto out = std::make_unique<CSdlWaveOut>();
    Wakeups wakeups;
    out->SetWakeup([&] { wakeups.Signal(); });
    CSound sound;
    ASSERT_TRUE(sound.Init(*out));

    // Each stretch is rendered into the buffers handed back while its control byte is in force.
    // The oscillator recording heard from its start: the loop's length (0 for silence) and first byte.
    struct Stretch { std::uint8_t control; int buffers; std::size_t loopLength; std::uint8_t loopFirst; };
    const Stretch stretches[] = {{0x01, 8, 250, 0x11}, {0x03, 6, 333, 0x95}, {0x00, 5, 0, 0}, {0x01, 4, 250, 0x11}};
    Bytes expected;
    int delivered = 0;
    for (const Stretch& st : stretches) {
        sound.SetControl(st.control);
        const int before = delivered;
        while (delivered < before + st.buffers) {
            ASSERT_TRUE(wakeups.WaitFor(delivered + 1));
            out->DeliverFinished([&](WaveBuffer& b) {
                ++delivered;
                sound.OnBufferDone(b);
            });
        }
        const Bytes part = Loop(st.loopLength, st.loopFirst, st.loopLength == 0 ? 0 : (delivered - before) * 110u);
        expected.insert(expected.end(), part.begin(), part.end());
    }
    // Stop handing buffers back: the ring plays out and the queue runs dry. The file lags the
    // device by at most its stdio buffer; wait for dry output behind it.
    ASSERT_TRUE(wakeups.WaitFor(delivered + CSound::BUFFER_COUNT));
    const auto enough = std::filesystem::file_size(output) + 8192 + 2 * CSdlWaveOut::DEVICE_SAMPLES + 2200;
    for (int i = 0; i < 2000 && std::filesystem::file_size(output) < enough; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    out.reset();  // closing the device closes the output file
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);

    const Bytes played = dir.Read("played.raw");
    ASSERT_GE(played.size(), enough);
    EXPECT_EQ(Bytes(played.begin(), played.begin() + 20 * 110), Bytes(20 * 110, 0x80)) << "the start-up buffers";
    // Then the sound in order. A busy machine may let the queue run dry for a moment, which
    // plays silence; the samples hold no 0x80.
    Bytes heard;
    std::copy_if(played.begin(), played.end(), std::back_inserter(heard), [](std::uint8_t b) { return b != 0x80; });
    EXPECT_EQ(heard, expected);
    const auto lastSound = std::find_if(played.rbegin(), played.rend(), [](std::uint8_t b) { return b != 0x80; });
    EXPECT_GE(lastSound - played.rbegin(), 2200) << "the dry queue plays silence";
}

TEST(SdlWaveOut, NoUsableDeviceFailsStartUpAfterTheRetries)
{
    TempFolder dir;
    dir.Write("basic.rom", 0x4000, 0x00);
    dir.Write("dev_dos.rom", 16, 0x00);
    dir.Write("dev_pr.rom", 16, 0x00);
    dir.Write("font.bin", 2560, 0x00);
    WriteSamples(dir);
    // The same start-up goes through with a device.
    for (const char* driver : {"no-such-audio-driver", "dummy"}) {
        SCOPED_TRACE(driver);
        const bool works = std::string(driver) == "dummy";
        ::setenv("SDL_AUDIODRIVER", driver, 1);
        AudioShell shell;
        CEmuApp app(shell);
        std::vector<int> delays;
        app.Sound().SetRetryDelay([&](int ms) { delays.push_back(ms); });
        EXPECT_EQ(app.Startup(), works);
        // SDL's reason and the way on go to the log before the message.
        const std::vector<std::string> failed = {
            "no sound output could be opened (SDL: Audio target 'no-such-audio-driver' not available); start with "
            "--no-sound to run silently",
            "Sound initialization failed!"};
        EXPECT_EQ(shell.messages, works ? std::vector<std::string>{} : failed);
        EXPECT_EQ(delays, std::vector<int>(works ? 0 : 3, 1000));
        EXPECT_EQ(shell.shown, works);
        EXPECT_EQ(shell.waveOut.IsOpen(), works);
        app.Shutdown();
    }
}
