// The five generated sound samples: lengths, level, seamless loops and the sweep that
// follows the slow oscillator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Samples = std::vector<std::uint8_t>;

Samples ReadSample(const std::string& name)
{
    std::ifstream in(std::string(VORLIX_RUNTIME_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int Step(const Samples& s, std::size_t i)  // from sample i to the next, wrapping at the end
{
    return std::abs(s[(i + 1) % s.size()] - s[i]);
}

int LargestInnerStep(const Samples& s)
{
    int largest = 0;
    for (std::size_t i = 0; i + 1 < s.size(); ++i)
        largest = std::max(largest, Step(s, i));
    return largest;
}

// Indices where the wave crosses from below the centre to the centre or above.
std::vector<std::size_t> RisingEdges(const Samples& s)
{
    std::vector<std::size_t> edges;
    for (std::size_t i = 1; i < s.size(); ++i)
        if (s[i - 1] < 0x80 && s[i] >= 0x80)
            edges.push_back(i);
    return edges;
}

const char* const ALL_SAMPLES[] = {"noise.snd", "vco_hi.snd", "vco_lo.snd", "slf.snd", "vco_slf.snd"};

TEST(SampleFiles, EachIsAComfortableLoopCentredOnTheZeroLevel)
{
    for (const char* name : ALL_SAMPLES) {
        SCOPED_TRACE(name);
        Samples s = ReadSample(name);
        // The sound generator reads 110 bytes ahead of any position inside a sample.
        ASSERT_GE(s.size(), 110u);
        long sum = 0;
        for (std::uint8_t v : s)
            sum += v;
        double mean = static_cast<double>(sum) / static_cast<double>(s.size());
        EXPECT_NEAR(mean, 128.0, 3.0);
        auto [low, high] = std::minmax_element(s.begin(), s.end());
        EXPECT_GE(*high - *low, 40) << "too quiet";
        EXPECT_LE(*high - *low, 128) << "too loud";
        EXPECT_GT(*low, 0x20);
        EXPECT_LT(*high, 0xE0);
        // The jump from the last sample back to the first is no bigger than the wave's own.
        EXPECT_LE(Step(s, s.size() - 1), LargestInnerStep(s));
    }
}

TEST(SampleFiles, TonesHoldAWholeNumberOfPeriodsAtTheirPitch)
{
    struct Tone {
        const char* name;
        double lowHz, highHz;
    };
    for (Tone tone : {Tone{"vco_hi.snd", 900, 1100}, Tone{"vco_lo.snd", 180, 220}}) {
        SCOPED_TRACE(tone.name);
        Samples s = ReadSample(tone.name);
        std::vector<std::size_t> edges = RisingEdges(s);
        ASSERT_GE(edges.size(), 2u);
        std::size_t period = edges[1] - edges[0];
        double hz = 22050.0 / static_cast<double>(period);
        EXPECT_GE(hz, tone.lowHz);
        EXPECT_LE(hz, tone.highHz);
        EXPECT_EQ(s.size() % period, 0u);
        for (std::size_t i = 0; i < s.size(); ++i)
            ASSERT_EQ(s[i], s[(i + period) % s.size()]) << "not periodic at " << i;
    }
}

TEST(SampleFiles, NoiseLastsAboutASecondAndDoesNotRepeatWithinIt)
{
    Samples s = ReadSample("noise.snd");
    EXPECT_GE(s.size(), 19845u);
    EXPECT_LE(s.size(), 24255u);
    // A short repeat would be heard as a tone: no shift of up to 4096 samples matches.
    for (std::size_t shift = 1; shift <= 4096; ++shift) {
        std::size_t same = 0;
        for (std::size_t i = 0; i + shift < s.size(); ++i)
            same += s[i] == s[i + shift];
        ASSERT_LT(same, (s.size() - shift) * 3 / 4) << "repeats after " << shift;
    }
    std::size_t changes = 0;
    for (std::size_t i = 0; i + 1 < s.size(); ++i)
        changes += s[i] != s[i + 1];
    EXPECT_GT(changes, s.size() / 3);
}

TEST(SampleFiles, SlowOscillatorIsOnePeriodAndTheSweepStaysInStepWithIt)
{
    Samples slow = ReadSample("slf.snd");
    Samples sweep = ReadSample("vco_slf.snd");
    // Longer than the gate that opens for the first 3170 samples of each pass.
    EXPECT_GT(slow.size(), 3170u);
    EXPECT_EQ(sweep.size(), slow.size());
    double hz = 22050.0 / static_cast<double>(slow.size());
    EXPECT_GE(hz, 1.0);
    EXPECT_LE(hz, 10.0);
    // One period: a single rising crossing of the centre in the whole loop, seam included.
    std::size_t crossings = RisingEdges(slow).size() + (slow.back() < 0x80 && slow.front() >= 0x80);
    EXPECT_EQ(crossings, 1u);

    // The sweep's pitch is high where the slow oscillator is high: compare the length of
    // its periods around the slow wave's highest and lowest points.
    std::size_t top = static_cast<std::size_t>(std::max_element(slow.begin(), slow.end()) - slow.begin());
    std::size_t bottom = static_cast<std::size_t>(std::min_element(slow.begin(), slow.end()) - slow.begin());
    std::vector<std::size_t> edges = RisingEdges(sweep);
    ASSERT_GT(edges.size(), 100u);
    auto periodNear = [&](std::size_t at) {
        auto next = std::lower_bound(edges.begin(), edges.end(), at);
        if (next == edges.end() || next + 1 == edges.end())
            next = edges.end() - 2;
        return static_cast<double>(*(next + 1) - *next);
    };
    EXPECT_LT(periodNear(top) * 1.5, periodNear(bottom));
}

}  // namespace
