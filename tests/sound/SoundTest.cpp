#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "SoundSamples.h"
#include "TempFolder.h"
#include "devices/CSound.h"
#include "host/CHostFile.h"
#include "host/CNullWaveOut.h"
#include "host/CSilentWaveOut.h"

using namespace sound_samples;

namespace {

constexpr std::size_t N = CSound::BUFFER_SAMPLES;

// A wave output that keeps queued buffers until the test hands them back, one at a time, as a
// device does once it has played them. Operations can be told to fail for chosen buffers.
class FakeWaveOut final : public CWaveOut {
public:
    bool Open() override { return ++opens > openFailures; }
    bool Prepare(WaveBuffer& b) override { return failPrepare.count(b.user) == 0; }
    bool Write(WaveBuffer& b) override
    {
        if (++writes == writeFailsAt || failWrite.count(b.user) != 0)
            return false;
        queue.push_back(&b);
        return true;
    }
    bool Unprepare(WaveBuffer& b) override
    {
        ++unprepares;
        return failUnprepare.count(b.user) == 0;
    }

    int openFailures = 0, writeFailsAt = 0;  // writeFailsAt: the n-th Write fails, 0 never
    std::set<std::uintptr_t> failPrepare, failWrite, failUnprepare;
    int opens = 0, writes = 0, unprepares = 0;
    std::deque<WaveBuffer*> queue;
    std::vector<std::uintptr_t> returned;
};

const Bytes& Append(Bytes& to, const Bytes& more)
{
    to.insert(to.end(), more.begin(), more.end());
    return to;
}

Bytes Part(const Bytes& b, std::size_t from, std::size_t to) { return Bytes(b.begin() + from, b.begin() + to); }

// A sound generator on a fake wave output, with its samples in a fresh working folder.
struct Rig {
    explicit Rig(const Samples& s = Samples()) : samples(s)
    {
        s.WriteTo(dir);
        sound.SetRetryDelay([this](int ms) { delays.push_back(ms); });
    }
    bool Init() { return sound.Init(out); }
    // Hands back the next `count` queued buffers and returns what the generator rendered.
    Bytes Render(std::size_t count)
    {
        Bytes all;
        for (std::size_t i = 0; i < count && !out.queue.empty(); ++i) {
            WaveBuffer& b = *out.queue.front();
            out.queue.pop_front();
            out.returned.push_back(b.user);
            sound.OnBufferDone(b);
            all.insert(all.end(), b.data, b.data + b.length);
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

TEST(Sound, TablesAttenuateAndMixAroundTheZeroLevel)
{
    CSoundTables t;
    t.Build();
    for (int s = 0; s < 256; ++s) {
        ASSERT_EQ(t.Attenuate(static_cast<std::uint8_t>(s), 0), s);
        ASSERT_EQ(t.Attenuate(static_cast<std::uint8_t>(s), 255), 0x80) << s;
    }
    // value, level, result: halves at 128, truncation toward the zero level on both sides.
    const std::uint8_t attenuated[][3] = {
        {0x00, 128, 0x40}, {0xFF, 128, 0xBF}, {0x00, 1, 0x01}, {0xFF, 1, 0xFE}, {0x00, 254, 0x7F}, {0xFF, 254, 0x80},
        {0x7F, 254, 0x80}, {0x81, 2, 0x80}, {0x40, 64, 0x50}, {0xC0, 192, 0x90}, {0x80, 77, 0x80},
    };
    for (const auto& v : attenuated)
        EXPECT_EQ(+t.Attenuate(v[0], v[1]), +v[2]) << +v[0] << " at " << +v[1];
    // Half a step rounds toward 0x80 either way.
    const std::uint8_t mixed[][3] = {
        {0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF}, {0x80, 0x80, 0x80}, {0x00, 0xFF, 0x80}, {0xFF, 0x00, 0x80},
        {0x81, 0x80, 0x80}, {0x7F, 0x80, 0x80}, {0x00, 0x80, 0x40}, {0xFF, 0x80, 0xBF}, {0xA0, 0xC0, 0xB0},
        {0x10, 0x31, 0x21},
    };
    for (const auto& v : mixed)
        EXPECT_EQ(+t.Mix(v[0], v[1]), +v[2]) << +v[0] << " with " << +v[1];
}

TEST(Sound, InitQueuesTwentySilentBuffersAfterUpToFourOpensOneSecondApart)
{
    const struct { int openFailures; bool ok; int opens; std::size_t delays; int writes; } rows[] = {
        {0, true, 1, 0, 20}, {3, true, 4, 3, 20}, {4, false, 4, 3, 0}};
    for (const auto& row : rows) {
        Rig rig;
        rig.out.openFailures = row.openFailures;
        EXPECT_EQ(rig.Init(), row.ok) << row.openFailures;
        EXPECT_EQ(rig.out.opens, row.opens) << row.openFailures;
        EXPECT_EQ(rig.delays, std::vector<int>(row.delays, 1000)) << row.openFailures;
        EXPECT_EQ(rig.out.writes, row.writes) << row.openFailures;
    }
    Rig rig;
    ASSERT_TRUE(rig.Init());
    for (const WaveBuffer* b : rig.out.queue)
        EXPECT_EQ(Bytes(b->data, b->data + b->length), Silence(N)) << b->user;
    // Off until the machine writes port 6; a second Init leaves the running ring alone.
    EXPECT_EQ(rig.Render(25), Silence(25 * N));
    EXPECT_TRUE(rig.Init());
    EXPECT_EQ(rig.out.queue.size(), 20u);
    EXPECT_EQ(rig.out.writes, 45);
}

// Port 6 scripts: after each write (at a buffer boundary) the output plays stretches of sources
// from known positions (for the mix, of the noise: the oscillator starts anew). KEEP continues
// without a write.
constexpr int KEEP = -1;
struct Stretch { int control; std::size_t samples; Source source; std::size_t start; };
struct Script { const char* name; Samples samples; std::vector<Stretch> stretches; };

TEST(Sound, PortSixScripts)
{
    const Script scripts[] = {
        // The noise and the slow oscillator run on under every source while the sound is on.
        {"each source at full level", Samples(),
         {{0x01, 6 * N, HI, 0}, {0x03, 6 * N, LO, 0}, {0x09, 12 * N, NOISE, 12 * N}, {0x11, 3 * N, SLOW, 24 * N},
          {0x19, N, MIX_HI_NOISE, 27 * N}}},
        {"switched off it is silent and every position freezes", Samples(),
         {{0x09, 3 * N, NOISE, 0}, {0x08, 7 * N, SILENT, 0}, {0x00, 4 * N, SILENT, 0}, {0x09, 2 * N, NOISE, 3 * N},
          {0x11, N, SLOW, 5 * N}}},
        {"every write restarts a fixed oscillator", Samples(),
         {{0x01, 2 * N, HI, 0}, {0x01, 2 * N, HI, 0}, {0x01, 2 * N, HI, 0}, {0x03, N, LO, 0}, {0x03, N, LO, 0}}},
        {"the swept oscillator keeps in step with the slow one across its wrap", Samples(),
         {{0x01, 5 * N, HI, 0}, {0x05, 40 * N, SWEPT, 5 * N}, {0x07, 2 * N, SWEPT, 45 * N},
          {0x15, 2 * N, SLOW, 47 * N}}},
        {"a swept recording shorter than the slow one is joined inside it", Samples(4000, 1000),
         {{0x01, 20 * N, HI, 0}, {0x05, 12 * N, SWEPT, 200}}},
        {"source 7 sounds only with envelope 3", Samples(),
         {{0x39, 3 * N, SILENT, 0}, {0x79, N, SILENT, 0}, {0xB9, N, SILENT, 0}, {0xF9, 3 * N, HI, 0},
          {0xFB, N, LO, 0}}},
        // Sources 4 to 6 sound while the slow oscillator is below 3170: its 4000-byte pass ends
        // inside buffer 36, whose rest stays closed; buffer 37 starts the next pass at 70.
        {"gated sources sound in bursts at the start of each slow pass", Samples(),
         {{0x21, 3170, NOISE, 0}, {KEEP, 900, SILENT, 0}, {KEEP, 3 * N, NOISE, 37 * N},
          {0x29, 2770, HI, 0}, {KEEP, 26 * N - 2770, SILENT, 0}, {0x31, 5 * N, SILENT, 0}}},
        {"one-buffer samples loop; a slow loop under 3170 never closes the gate", Samples(110, 110, 110, 111),
         {{0x01, 3 * N, HI, 0}, {0x09, 3 * N, NOISE, 3 * N}, {0x21, 2 * N, NOISE, 6 * N}, {0x2D, 2 * N, SWEPT, 0}}},
    };
    CSoundTables tables;
    tables.Build();
    for (const Script& script : scripts) {
        Rig rig(script.samples);
        ASSERT_TRUE(rig.Init()) << script.name;
        const Samples& s = rig.samples;
        Bytes heard, expected;
        std::vector<std::size_t> ends;
        for (const Stretch& st : script.stretches) {
            if (st.control != KEEP) {
                ASSERT_EQ(expected.size() % N, 0u) << script.name << ": writes fall between buffers";
                Append(heard, rig.Render((expected.size() - heard.size()) / N));
                rig.sound.SetControl(static_cast<std::uint8_t>(st.control));
            }
            Bytes part = Play(s, st.source, st.start, st.samples);
            for (std::size_t k = 0; st.source == MIX_HI_NOISE && k < part.size(); ++k)
                part[k] = tables.Mix(s.hi[k % s.hi.size()], part[k]);
            ends.push_back(Append(expected, part).size());
        }
        Append(heard, rig.Render((expected.size() - heard.size()) / N));
        ASSERT_EQ(heard.size(), expected.size()) << script.name;
        for (std::size_t i = 0, from = 0; i < ends.size(); from = ends[i++])
            EXPECT_EQ(Part(heard, from, ends[i]), Part(expected, from, ends[i])) << script.name << ", stretch " << i;
    }
}

TEST(Sound, MutedRunsOnUnheardHeldStandsStillAndTheTapGetsWhatTheGeneratorMakes)
{
    // Steps of buffers: what is heard and what the tap gets, each a source from a position of
    // the oscillator; NOTHING: the tap gets no bytes at all.
    constexpr int NOTHING = -1;
    const struct { int control; bool muted, held; std::size_t buffers; Source heard; std::size_t at; int tap; std::size_t tapAt; } steps[] = {
        {0x01, false, false, 3, HI, 0, HI, 0},              // playing: heard and tapped alike
        {KEEP, true, false, 4, SILENT, 0, HI, 3 * N},       // muted: silent, the generator goes on
        {KEEP, false, false, 2, HI, 7 * N, HI, 7 * N},      // unmuted: on from where it went
        {KEEP, false, true, 5, SILENT, 0, NOTHING, 0},      // held: nothing made, nothing moves
        {KEEP, true, true, 2, SILENT, 0, NOTHING, 0},       // held beats muted
        {KEEP, false, false, 2, HI, 9 * N, HI, 9 * N},      // released: on from where it stood
        {0x00, false, false, 2, SILENT, 0, SILENT, 0},      // switched off, it makes silence
    };
    Rig rig;
    ASSERT_TRUE(rig.Init());
    Bytes tapped;
    rig.sound.SetTap([&tapped](const std::uint8_t* b, std::size_t n) { tapped.insert(tapped.end(), b, b + n); });
    auto play = [&rig](int source, std::size_t at, std::size_t count) {
        return source == NOTHING ? Bytes{} : Play(rig.samples, static_cast<Source>(source), at, count);
    };
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const auto& st = steps[i];
        if (st.control != KEEP)
            rig.sound.SetControl(static_cast<std::uint8_t>(st.control));
        rig.sound.SetMuted(st.muted);
        rig.sound.SetHeld(st.held);
        tapped.clear();
        EXPECT_EQ(rig.Render(st.buffers), play(st.heard, st.at, st.buffers * N)) << "step " << i;
        EXPECT_EQ(tapped, play(st.tap, st.tapAt, st.buffers * N)) << "step " << i;
    }
}

TEST(Sound, DecayFadesOverSixtyFourBuffersAndOnlyASteadyWriteRestartsIt)
{
    // A constant full-negative oscillator makes each byte show the level L: 128 - (256 - L) / 2.
    Samples samples;
    samples.hi = Bytes(250, 0x00);
    Rig rig(samples);
    ASSERT_TRUE(rig.Init());
    rig.sound.SetControl(0x01);
    EXPECT_EQ(rig.Render(1), Bytes(N, 0x00));
    rig.sound.SetControl(0x81);
    const Bytes decay = rig.Render(66);
    // The level steps after samples 0, 32, 64 and 96: levels 0 to 4 in the first buffer.
    Bytes first(N, 2);
    std::fill(first.begin() + 1, first.begin() + 65, 1);
    first[0] = 0;
    EXPECT_EQ(Part(decay, 0, N), first);
    EXPECT_EQ((Bytes{decay[N], decay[N + 1], decay[N + 109]}), (Bytes{2, 3, 4}));  // levels 4, 5, 8
    // Buffer 63 reaches level 255 at sample 65; from there on all is silence.
    EXPECT_EQ((Bytes{decay[63 * N], decay[63 * N + 64]}), (Bytes{126, 127}));  // levels 252, 254
    EXPECT_EQ(Part(decay, 63 * N + 65, decay.size()), Silence(decay.size() - 63 * N - 65));
    for (std::size_t i = 1; i < decay.size(); ++i)
        ASSERT_GE(decay[i], decay[i - 1]) << "the level went back at " << i;

    rig.sound.SetControl(0x81);  // a second decay write does not restart it
    EXPECT_EQ(rig.Render(2), Silence(2 * N));
    rig.sound.SetControl(0x01);  // a steady write and then a decay write does
    rig.sound.SetControl(0x81);
    EXPECT_EQ(rig.Render(1), first);
    rig.Render(1);
    rig.sound.SetControl(0x81);  // during a decay it goes on from level 8
    EXPECT_EQ(rig.Render(1)[0], 4);
    rig.sound.SetControl(0xC1);  // envelopes 1 and 3 are steady at full level
    EXPECT_EQ(rig.Render(2), Bytes(2 * N, 0x00));
    rig.sound.SetControl(0x81);
    rig.Render(3);
    rig.sound.SetControl(0x41);
    EXPECT_EQ(rig.Render(1), Bytes(N, 0x00));
}

TEST(Sound, BuffersTheHostFailsToRequeueLeaveTheRingAndForeignOnesAreIgnored)
{
    Rig rig;
    std::uint8_t bytes[4] = {1, 2, 3, 4};
    WaveBuffer stray{bytes, 4, 0, 0};
    rig.sound.SetControl(0x05);  // the swept oscillator with nothing loaded
    rig.sound.OnBufferDone(stray);
    ASSERT_TRUE(rig.Init());
    for (std::uintptr_t user : {std::uintptr_t{0}, std::uintptr_t{3}, std::uintptr_t{20}, ~std::uintptr_t{0}}) {
        stray.user = user;
        rig.sound.OnBufferDone(stray);
    }
    EXPECT_EQ(rig.out.unprepares, 0);
    EXPECT_EQ(rig.out.writes, 20);
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{1, 2, 3, 4}));

    rig.sound.SetControl(0x01);
    rig.out.failWrite = {5};
    rig.out.failPrepare = {9};
    rig.out.failUnprepare = {14};
    rig.Render(20);
    EXPECT_EQ(rig.out.queue.size(), 17u);
    rig.out.returned.clear();
    const Bytes played = rig.Render(34);
    std::vector<std::uintptr_t> expected;
    for (std::uintptr_t i = 0; i < 40; ++i) {
        if (i % 20 != 5 && i % 20 != 9 && i % 20 != 14)
            expected.push_back(i % 20);
    }
    EXPECT_EQ(rig.out.returned, expected);
    // No gap in the oscillator; the buffer that failed to unprepare was never rendered.
    EXPECT_EQ(played, Loop(rig.samples.hi, 19 * N, 34 * N));

    // Buffers back before start-up finished are not requeued.
    Rig failed;
    failed.out.writeFailsAt = 3;
    EXPECT_FALSE(failed.Init());
    failed.sound.SetControl(0x01);
    EXPECT_EQ(failed.Render(5), Silence(2 * N));
    EXPECT_EQ(failed.out.writes, 3);
    EXPECT_EQ(failed.out.unprepares, 2);
}

TEST(Sound, MissingEmptyShortOrUnreadableSamplesFailInit)
{
    for (const char* name : {"slf.snd", "vco_slf.snd", "vco_lo.snd", "vco_hi.snd", "noise.snd"}) {
        for (int spoil = 0; spoil < 5; ++spoil) {
            Rig rig;
            const std::string path = rig.dir.File(name);
            CHostFile holder;
            switch (spoil) {
            case 0: std::filesystem::remove(path); break;
            case 1: rig.dir.Write(name, Bytes{}); break;
            case 2: rig.dir.Write(name, MakeLoop(109, 7)); break;  // shorter than one buffer
            case 3: ASSERT_TRUE(holder.Open(path, CHostFile::Mode::Read)); break;  // held elsewhere
            default: std::filesystem::remove(path); std::filesystem::create_directory(path); break;
            }
            EXPECT_FALSE(rig.Init()) << name << ", spoilt in way " << spoil;
            EXPECT_EQ(rig.out.writes, 0);
        }
    }
    Rig rig;  // a FIFO has no length to read
    std::filesystem::remove(rig.dir.File("noise.snd"));
    ASSERT_EQ(::mkfifo(rig.dir.File("noise.snd").c_str(), 0600), 0);
    EXPECT_FALSE(rig.Init());
}

TEST(NullWaveOut, HandsBackWhatWasWrittenSinceTheLastDelivery)
{
    CNullWaveOut out;
    std::uint8_t bytes[3][4] = {};
    WaveBuffer buffers[3], empty;
    for (std::uintptr_t i = 0; i < 3; ++i)
        buffers[i] = {bytes[i], 4, i, 0};
    EXPECT_FALSE(out.Prepare(empty));
    ASSERT_TRUE(out.Prepare(buffers[0]));
    EXPECT_FALSE(out.Write(buffers[0])) << "not open yet";
    ASSERT_TRUE(out.Open());
    EXPECT_FALSE(out.Write(buffers[1])) << "not prepared";
    for (WaveBuffer& b : buffers)
        ASSERT_TRUE(out.Prepare(b) && out.Write(b));
    EXPECT_FALSE(out.Write(buffers[0])) << "already queued";
    EXPECT_FALSE(out.Unprepare(buffers[0])) << "still queued";
    // Buffers written again by the handler come back only on the next delivery.
    std::vector<std::uintptr_t> seen;
    for (bool requeue : {true, true, false, false}) {
        out.DeliverFinished([&](WaveBuffer& b) {
            EXPECT_EQ(b.flags & (WaveBuffer::DONE | WaveBuffer::QUEUED), WaveBuffer::DONE);
            seen.push_back(b.user);
            if (requeue) {
                EXPECT_TRUE(out.Unprepare(b) && out.Prepare(b) && out.Write(b));
            }
        });
    }
    EXPECT_EQ(seen, (std::vector<std::uintptr_t>{0, 1, 2, 0, 1, 2, 0, 1, 2}));
}

TEST(SilentWaveOut, HandsBuffersBackInStepWithEmulatedTime)
{
    // Alone: a buffer comes back once its last byte has played; time with nothing queued is
    // silence and is not made up; a buffer written again in the handler waits for later time.
    CSilentWaveOut out;
    std::uint8_t bytes[2][110] = {};
    WaveBuffer buffers[2] = {{bytes[0], 110, 0, 0}, {bytes[1], 110, 1, 0}};
    std::vector<std::uintptr_t> seen;
    auto handler = [&](WaveBuffer& b) {
        EXPECT_EQ(b.flags & (WaveBuffer::DONE | WaveBuffer::QUEUED), WaveBuffer::DONE);
        seen.push_back(b.user);
    };
    ASSERT_TRUE(out.Prepare(buffers[0]));
    EXPECT_FALSE(out.Write(buffers[0])) << "not open yet";
    ASSERT_TRUE(out.Open() && out.Write(buffers[0]) && out.Prepare(buffers[1]) && out.Write(buffers[1]));
    const std::pair<std::uint32_t, std::vector<std::uintptr_t>> steps[] = {
        {109, {}}, {1, {0}}, {300, {0, 1}}, {1000, {0, 1}}};
    for (const auto& [played, expected] : steps) {
        out.Play(played, handler);
        EXPECT_EQ(seen, expected) << played;
    }
    ASSERT_TRUE(out.Write(buffers[0]));
    seen.clear();
    out.Play(109, handler);
    EXPECT_TRUE(seen.empty()) << "the dry time before was not made up";
    out.Play(1000, [&](WaveBuffer& b) { handler(b); EXPECT_TRUE(out.Write(b)); });
    out.Play(110, handler);
    EXPECT_EQ(seen, (std::vector<std::uintptr_t>{0, 0}));

    // With the sound generator's ring: 441 bytes a 20 ms slice, 22050 a second of emulated time.
    TempFolder dir;
    for (const char* name : {"slf.snd", "vco_slf.snd", "vco_lo.snd", "vco_hi.snd", "noise.snd"})
        dir.Write(name, 4000, 0x80);
    CSound sound;
    CSilentWaveOut ring;
    ASSERT_TRUE(sound.Init(ring));
    int returned = 0;
    const std::pair<int, int> counts[] = {{1, 4}, {2, 8}, {5, 20}, {10, 40}, {50, 200}, {100, 400}, {250, 1002}};
    int slice = 0;
    for (const auto& [slices, buffers] : counts) {
        for (; slice < slices; ++slice)
            ring.Play(CSilentWaveOut::SLICE_BYTES, [&](WaveBuffer& b) {
                ++returned;
                sound.OnBufferDone(b);
            });
        EXPECT_EQ(returned, buffers) << slices << " slices";
    }
}
