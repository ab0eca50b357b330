#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FakeWaveOut.h"
#include "TempFolder.h"
#include "devices/CSound.h"
#include "host/CHostFile.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t N = CSound::BUFFER_SAMPLES;

// A recognisable loop: pseudo-random bytes that never hit the zero level 0x80, so a gated or
// switched-off stretch cannot be mistaken for sound.
Bytes MakeLoop(std::size_t length, std::uint32_t seed)
{
    Bytes bytes(length);
    std::uint32_t x = seed;
    for (auto& b : bytes) {
        x = x * 1103515245u + 12345u;
        b = static_cast<std::uint8_t>(x >> 16);
        if (b == 0x80)
            b = 0x81;
    }
    return bytes;
}

// count bytes of a loop played from start, going round as often as needed.
Bytes Loop(const Bytes& sample, std::size_t start, std::size_t count)
{
    Bytes out(count);
    for (std::size_t k = 0; k < count; ++k)
        out[k] = sample[(start + k) % sample.size()];
    return out;
}

Bytes Silence(std::size_t count) { return Bytes(count, 0x80); }

// Lengths that are not multiples of a buffer, so every loop wraps in mid-buffer.
struct Samples {
    Bytes slf = MakeLoop(4000, 1);
    Bytes vcoSlf = MakeLoop(4000, 2);
    Bytes vcoLo = MakeLoop(333, 3);
    Bytes vcoHi = MakeLoop(250, 4);
    Bytes noise = MakeLoop(1009, 5);
};

// A sound generator on a fake wave output, with its samples in a fresh working folder.
class Rig {
public:
    explicit Rig(const Samples& s = Samples()) : samples(s)
    {
        dir.Write("slf.snd", samples.slf);
        dir.Write("vco_slf.snd", samples.vcoSlf);
        dir.Write("vco_lo.snd", samples.vcoLo);
        dir.Write("vco_hi.snd", samples.vcoHi);
        dir.Write("noise.snd", samples.noise);
        sound.SetRetryDelay([this](int ms) { delays.push_back(ms); });
    }

    bool Init() { return sound.Init(out); }

    // The next `buffers` buffers the generator renders, end to end.
    Bytes Render(std::size_t buffers)
    {
        Bytes all;
        for (std::size_t i = 0; i < buffers; ++i) {
            Bytes one = out.ReturnNext(sound);
            all.insert(all.end(), one.begin(), one.end());
        }
        return all;
    }

    TempFolder dir;
    Samples samples;
    FakeWaveOut out;
    CSound sound;
    std::vector<int> delays;
};

}  // namespace

TEST(Sound, InitQueuesTwentySilentBuffersWithTheSoundOff)
{
    Rig rig;
    ASSERT_TRUE(rig.Init());
    EXPECT_EQ(rig.out.opens, 1);
    EXPECT_TRUE(rig.delays.empty());
    ASSERT_EQ(rig.out.queue.size(), 20u);
    for (std::size_t i = 0; i < 20; ++i) {
        const WaveBuffer& b = *rig.out.queue[i];
        EXPECT_EQ(b.user, i);
        EXPECT_EQ(b.length, N);
        EXPECT_EQ(Bytes(b.data, b.data + b.length), Silence(N));
    }
    // Off until the machine writes port 6: silence, and the ring keeps its order.
    EXPECT_EQ(rig.Render(25), Silence(25 * N));
    ASSERT_EQ(rig.out.queue.size(), 20u);
    EXPECT_EQ(rig.out.queue.front()->user, 5u);
    // A second Init leaves the running ring alone.
    EXPECT_TRUE(rig.Init());
    EXPECT_EQ(rig.out.queue.size(), 20u);
}

TEST(Sound, EnableBitPlaysTheSelectedSourceAtFullLevel)
{
    Rig rig;
    ASSERT_TRUE(rig.Init());
    const Samples& s = rig.samples;

    rig.sound.SetControl(0x01);  // high oscillator
    EXPECT_EQ(rig.Render(6), Loop(s.vcoHi, 0, 6 * N));
    rig.sound.SetControl(0x03);  // low oscillator, from its start
    EXPECT_EQ(rig.Render(6), Loop(s.vcoLo, 0, 6 * N));
    // The noise has run all along: 12 buffers have gone by.
    rig.sound.SetControl(0x09);
    EXPECT_EQ(rig.Render(12), Loop(s.noise, 12 * N, 12 * N));
    // Source 2 is the slow oscillator, which has run for 24 buffers.
    rig.sound.SetControl(0x11);
    EXPECT_EQ(rig.Render(3), Loop(s.slf, 24 * N, 3 * N));
    // Sources 3 and 6 average the oscillator and the noise around 0x80.
    rig.sound.SetControl(0x19);
    const Bytes mixed = rig.Render(1);
    const Bytes o = Loop(s.vcoHi, 0, N), n = Loop(s.noise, 27 * N, N);
    for (std::size_t i = 0; i < N; ++i)
        ASSERT_EQ(mixed[i], static_cast<std::uint8_t>((o[i] + n[i] - 256) / 2 + 128)) << i;
}

TEST(Sound, SwitchedOffItIsSilentAndThePositionsFreeze)
{
    Rig rig;
    ASSERT_TRUE(rig.Init());
    const Samples& s = rig.samples;

    rig.sound.SetControl(0x09);
    EXPECT_EQ(rig.Render(3), Loop(s.noise, 0, 3 * N));
    rig.sound.SetControl(0x08);  // noise selected, but off
    EXPECT_EQ(rig.Render(7), Silence(7 * N));
    rig.sound.SetControl(0x00);
    EXPECT_EQ(rig.Render(4), Silence(4 * N));
    rig.sound.SetControl(0x09);
    EXPECT_EQ(rig.Render(2), Loop(s.noise, 3 * N, 2 * N));
    rig.sound.SetControl(0x11);  // the slow oscillator stood still as well
    EXPECT_EQ(rig.Render(1), Loop(s.slf, 5 * N, N));
}

TEST(Sound, EveryWriteRestartsAFixedOscillator)
{
    Rig rig;
    ASSERT_TRUE(rig.Init());
    const Samples& s = rig.samples;

    for (int i = 0; i < 3; ++i) {
        rig.sound.SetControl(0x01);
        EXPECT_EQ(rig.Render(2), Loop(s.vcoHi, 0, 2 * N)) << i;
    }
    rig.sound.SetControl(0x03);
    rig.Render(1);
    rig.sound.SetControl(0x03);
    EXPECT_EQ(rig.Render(1), Loop(s.vcoLo, 0, N));
}

TEST(Sound, SweptOscillatorPlaysInStepWithTheSlowOscillator)
{
    Rig rig;
    ASSERT_TRUE(rig.Init());
    const Samples& s = rig.samples;

    rig.sound.SetControl(0x01);
    rig.Render(5);
    // Select 2 joins the slow oscillator at its position; across its wrap it stays in step.
    rig.sound.SetControl(0x05);
    EXPECT_EQ(rig.Render(40), Loop(s.vcoSlf, 5 * N, 40 * N));
    // Select 3 is the same recording; the slow oscillator alone, as source 2, shows where it is.
    rig.sound.SetControl(0x07);
    EXPECT_EQ(rig.Render(2), Loop(s.vcoSlf, 45 * N, 2 * N));
    rig.sound.SetControl(0x15);
    EXPECT_EQ(rig.Render(2), Loop(s.slf, 47 * N, 2 * N));
}

TEST(Sound, SweptRecordingShorterThanTheSlowOneIsNeverReadPastItsEnd)
{
    Samples samples;
    samples.vcoSlf = MakeLoop(1000, 9);
    Rig rig(samples);
    ASSERT_TRUE(rig.Init());

    rig.sound.SetControl(0x01);
    rig.Render(20);  // the slow oscillator is at 2200, past the swept recording's end
    rig.sound.SetControl(0x05);
    EXPECT_EQ(rig.Render(12), Loop(samples.vcoSlf, 200, 12 * N));
}

TEST(Sound, DecayFadesOverSixtyFourBuffersAndOnlyASteadyWriteRestartsIt)
{
    // A constant full-negative oscillator makes each output byte show the level:
    // 0x00 attenuated by level L is 128 - (256 - L) / 2, rounded toward 0x80.
    Samples samples;
    samples.vcoHi = Bytes(250, 0x00);
    Rig rig(samples);
    ASSERT_TRUE(rig.Init());

    rig.sound.SetControl(0x01);
    EXPECT_EQ(rig.Render(1), Bytes(N, 0x00));
    rig.sound.SetControl(0x81);
    const Bytes decay = rig.Render(66);

    // The level steps after samples 0, 32, 64 and 96 of each buffer: levels 0,1,2,3,4 in the
    // first, 4..8 in the second.
    Bytes first(N);
    for (std::size_t i = 0; i < N; ++i)
        first[i] = i == 0 ? 0 : i <= 64 ? 1 : 2;
    EXPECT_EQ(Bytes(decay.begin(), decay.begin() + N), first);
    EXPECT_EQ(decay[N], 2);       // level 4
    EXPECT_EQ(decay[N + 1], 3);   // level 5
    EXPECT_EQ(decay[N + 109], 4); // level 8
    // Buffer 63 reaches level 255 at sample 65; from buffer 64 on all is silence.
    const std::size_t b63 = 63 * N;
    EXPECT_EQ(decay[b63], 126);       // level 252
    EXPECT_EQ(decay[b63 + 64], 127);  // level 254
    EXPECT_EQ(Bytes(decay.begin() + b63 + 65, decay.end()), Silence(decay.size() - b63 - 65));
    for (std::size_t i = 1; i < decay.size(); ++i)
        ASSERT_GE(decay[i], decay[i - 1]) << "the level never goes back during a decay, at " << i;

    // Another decay write after the end keeps it silent.
    rig.sound.SetControl(0x81);
    EXPECT_EQ(rig.Render(2), Silence(2 * N));

    // A steady write and then a decay write starts over from full level.
    rig.sound.SetControl(0x01);
    rig.sound.SetControl(0x81);
    EXPECT_EQ(rig.Render(1), first);

    // A decay write during a decay goes on from the level reached (8 after two buffers).
    rig.Render(1);
    rig.sound.SetControl(0x81);
    EXPECT_EQ(rig.Render(1)[0], 4);

    // Envelopes 1 and 3 are steady: full level again.
    rig.sound.SetControl(0xC1);
    EXPECT_EQ(rig.Render(2), Bytes(2 * N, 0x00));
    rig.sound.SetControl(0x81);
    rig.Render(3);
    rig.sound.SetControl(0x41);
    EXPECT_EQ(rig.Render(1), Bytes(N, 0x00));
}

TEST(Sound, SourceSevenSoundsOnlyWithEnvelopeThree)
{
    Rig rig;
    ASSERT_TRUE(rig.Init());
    const Samples& s = rig.samples;

    rig.sound.SetControl(0x39);
    EXPECT_EQ(rig.Render(3), Silence(3 * N));
    rig.sound.SetControl(0x79);  // envelope 1
    EXPECT_EQ(rig.Render(1), Silence(N));
    rig.sound.SetControl(0xB9);  // envelope 2
    EXPECT_EQ(rig.Render(1), Silence(N));
    rig.sound.SetControl(0xF9);
    EXPECT_EQ(rig.Render(3), Loop(s.vcoHi, 0, 3 * N));
    rig.sound.SetControl(0xFB);
    EXPECT_EQ(rig.Render(1), Loop(s.vcoLo, 0, N));
}

TEST(Sound, GatedSourcesSoundInBurstsAtTheStartOfEachSlowPass)
{
    Rig rig;
    ASSERT_TRUE(rig.Init());
    const Samples& s = rig.samples;

    // Source 4: noise while the slow oscillator is below 3170. Its 4000-byte pass ends inside
    // buffer 36, whose rest stays closed; buffer 37 starts the next pass at 70.
    rig.sound.SetControl(0x21);
    const Bytes burst = rig.Render(40);
    const Bytes noise = Loop(s.noise, 0, burst.size());
    EXPECT_EQ(Bytes(burst.begin(), burst.begin() + 3170), Bytes(noise.begin(), noise.begin() + 3170));
    EXPECT_EQ(Bytes(burst.begin() + 3170, burst.begin() + 37 * N), Silence(37 * N - 3170));
    EXPECT_EQ(Bytes(burst.begin() + 37 * N, burst.end()), Bytes(noise.begin() + 37 * N, noise.end()));

    // Source 5 gates the oscillator, source 6 the mix, on the same rule: the slow
    // oscillator is now at 400, so 25 buffers later it closes at sample 2770.
    rig.sound.SetControl(0x29);
    const Bytes osc = rig.Render(26);
    const Bytes hi = Loop(s.vcoHi, 0, osc.size());
    EXPECT_EQ(Bytes(osc.begin(), osc.begin() + 2770), Bytes(hi.begin(), hi.begin() + 2770));
    EXPECT_EQ(Bytes(osc.begin() + 2770, osc.end()), Silence(osc.size() - 2770));
    rig.sound.SetControl(0x31);
    EXPECT_EQ(rig.Render(5), Silence(5 * N));
}

TEST(Sound, BufferTheHostFailsToRequeueLeavesTheRing)
{
    Rig rig;
    ASSERT_TRUE(rig.Init());
    rig.sound.SetControl(0x01);
    rig.out.failWrite = {5};
    rig.out.failPrepare = {9};
    rig.out.failUnprepare = {14};
    rig.Render(20);
    EXPECT_EQ(rig.out.queue.size(), 17u);

    rig.out.returned.clear();
    const Bytes played = rig.Render(34);
    std::vector<std::uintptr_t> expected;
    for (int round = 0; round < 2; ++round) {
        for (std::uintptr_t i = 0; i < 20; ++i) {
            if (i != 5 && i != 9 && i != 14)
                expected.push_back(i);
        }
    }
    EXPECT_EQ(rig.out.returned, expected);
    // The others keep playing the oscillator without a gap. The buffer that failed to
    // unprepare was never rendered, so the first round advanced 19 buffers.
    EXPECT_EQ(played, Loop(rig.samples.vcoHi, 19 * N, 34 * N));
}

TEST(Sound, BuffersReturnedBeforeStartUpFinishedAreNotRequeued)
{
    Rig rig;
    rig.out.writeFailsAt = 3;
    EXPECT_FALSE(rig.Init());
    ASSERT_EQ(rig.out.queue.size(), 2u);
    rig.sound.SetControl(0x01);
    EXPECT_EQ(rig.Render(2), Silence(2 * N));
    EXPECT_EQ(rig.out.unprepares, 2);
    EXPECT_EQ(rig.out.writes, 3);
    EXPECT_TRUE(rig.out.queue.empty());
}

TEST(Sound, ForeignDescriptorsAndCallsBeforeInitAreIgnored)
{
    Rig rig;
    WaveBuffer stray;
    std::uint8_t bytes[4] = {1, 2, 3, 4};
    stray.data = bytes;
    stray.length = 4;
    rig.sound.SetControl(0x05);  // swept oscillator with nothing loaded
    rig.sound.OnBufferDone(stray);
    EXPECT_EQ(rig.out.unprepares, 0);

    ASSERT_TRUE(rig.Init());
    for (std::uintptr_t user : {std::uintptr_t{0}, std::uintptr_t{3}, std::uintptr_t{20}, ~std::uintptr_t{0}}) {
        stray.user = user;
        rig.sound.OnBufferDone(stray);
    }
    EXPECT_EQ(rig.out.unprepares, 0);
    EXPECT_EQ(rig.out.writes, 20);
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{1, 2, 3, 4}));
}

TEST(Sound, OpenIsTriedFourTimesOneSecondApart)
{
    {
        Rig rig;
        rig.out.openFailures = 3;
        EXPECT_TRUE(rig.Init());
        EXPECT_EQ(rig.out.opens, 4);
        EXPECT_EQ(rig.delays, (std::vector<int>{1000, 1000, 1000}));
        EXPECT_EQ(rig.out.writes, 20);
    }
    {
        Rig rig;
        rig.out.openFailures = 4;
        EXPECT_FALSE(rig.Init());
        EXPECT_EQ(rig.out.opens, 4);
        EXPECT_EQ(rig.delays, (std::vector<int>{1000, 1000, 1000}));
        EXPECT_EQ(rig.out.writes, 0);
    }
}

TEST(Sound, MissingEmptyShortOrUnreadableSamplesFailInit)
{
    const char* names[] = {"slf.snd", "vco_slf.snd", "vco_lo.snd", "vco_hi.snd", "noise.snd"};
    for (const char* name : names) {
        SCOPED_TRACE(name);
        {
            Rig rig;
            std::filesystem::remove(rig.dir.File(name));
            EXPECT_FALSE(rig.Init());
            EXPECT_EQ(rig.out.writes, 0);
        }
        {
            Rig rig;
            rig.dir.Write(name, Bytes{});
            EXPECT_FALSE(rig.Init());
        }
        {
            Rig rig;
            rig.dir.Write(name, MakeLoop(109, 7));  // shorter than one buffer
            EXPECT_FALSE(rig.Init());
        }
        {
            Rig rig;  // held by another opener
            CHostFile holder;
            ASSERT_TRUE(holder.Open(rig.dir.File(name), CHostFile::Mode::Read));
            EXPECT_FALSE(rig.Init());
        }
        {
            Rig rig;  // a folder in its place
            std::filesystem::remove(rig.dir.File(name));
            std::filesystem::create_directory(rig.dir.File(name));
            EXPECT_FALSE(rig.Init());
        }
    }
    {
        Rig rig;  // a FIFO has no length to read
        std::filesystem::remove(rig.dir.File("noise.snd"));
        ASSERT_EQ(::mkfifo(rig.dir.File("noise.snd").c_str(), 0600), 0);
        EXPECT_FALSE(rig.Init());
    }
}

TEST(Sound, ShortestSamplesOfOneBufferPlayAsLoops)
{
    Samples samples;
    samples.vcoHi = MakeLoop(110, 11);
    samples.noise = MakeLoop(111, 12);
    samples.slf = MakeLoop(110, 13);
    samples.vcoSlf = MakeLoop(110, 14);
    Rig rig(samples);
    ASSERT_TRUE(rig.Init());
    rig.sound.SetControl(0x01);
    EXPECT_EQ(rig.Render(3), Loop(samples.vcoHi, 0, 3 * N));
    rig.sound.SetControl(0x09);
    EXPECT_EQ(rig.Render(3), Loop(samples.noise, 3 * N, 3 * N));
    // The gate is always open on a slow loop shorter than 3170.
    rig.sound.SetControl(0x21);
    EXPECT_EQ(rig.Render(2), Loop(samples.noise, 6 * N, 2 * N));
}
