// The five generated sound samples: lengths, level, seamless loops and the sweep that
// follows the slow oscillator.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <numeric>
#include <string>
#include <vector>

namespace {

using Samples = std::vector<std::uint8_t>;

Samples Read(const std::string& name)
{
    std::ifstream in(std::string(VORLIX_RUNTIME_DIR) + "/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Indices where the wave crosses from below the centre to the centre or above, in the loop
// as played: index 0 if the seam crosses.
std::vector<std::size_t> RisingEdges(const Samples& s)
{
    std::vector<std::size_t> edges;
    for (std::size_t i = 0; i < s.size(); ++i)
        if (s[(i + s.size() - 1) % s.size()] < 0x80 && s[i] >= 0x80)
            edges.push_back(i);
    return edges;
}

TEST(SampleFiles, EachIsAComfortableSeamlessLoopOfItsLengthCentredOnTheZeroLevel)
{
    // The sound generator reads 110 bytes ahead of any position inside a sample; the slow
    // oscillator outlasts the gate that opens for the first 3170 samples of each pass.
    const std::pair<const char*, std::size_t> shortest[] = {
        {"noise.snd", 19845}, {"vco_hi.snd", 110}, {"vco_lo.snd", 110}, {"slf.snd", 3171}, {"vco_slf.snd", 3171}};
    for (const auto& [name, length] : shortest) {
        SCOPED_TRACE(name);
        Samples s = Read(name);
        ASSERT_GE(s.size(), length);
        double mean = std::accumulate(s.begin(), s.end(), 0.0) / static_cast<double>(s.size());
        EXPECT_NEAR(mean, 128.0, 3.0);
        auto [low, high] = std::minmax_element(s.begin(), s.end());
        EXPECT_GE(*high - *low, 40) << "too quiet";
        EXPECT_LE(*high - *low, 128) << "too loud";
        // The jump from the last sample back to the first is no bigger than the wave's own.
        int largest = 0;
        for (std::size_t i = 0; i + 1 < s.size(); ++i)
            largest = std::max(largest, std::abs(s[i + 1] - s[i]));
        EXPECT_LE(std::abs(s.front() - s.back()), largest);
    }
    EXPECT_EQ(Read("vco_slf.snd").size(), Read("slf.snd").size());
}

TEST(SampleFiles, TonesHoldAWholeNumberOfPeriodsAtTheirPitch)
{
    const std::tuple<const char*, double, double> tones[] = {{"vco_hi.snd", 900, 1100}, {"vco_lo.snd", 180, 220}};
    for (const auto& [name, lowHz, highHz] : tones) {
        SCOPED_TRACE(name);
        Samples s = Read(name);
        std::vector<std::size_t> edges = RisingEdges(s);
        ASSERT_GE(edges.size(), 2u);
        std::size_t period = edges[1] - edges[0];
        EXPECT_GE(22050.0 / static_cast<double>(period), lowHz);
        EXPECT_LE(22050.0 / static_cast<double>(period), highHz);
        EXPECT_EQ(s.size() % period, 0u);
        for (std::size_t i = 0; i < s.size(); ++i)
            ASSERT_EQ(s[i], s[(i + period) % s.size()]) << "not periodic at " << i;
    }
}

TEST(SampleFiles, NoiseLastsAboutASecondAndDoesNotRepeatWithinIt)
{
    Samples s = Read("noise.snd");
    EXPECT_LE(s.size(), 24255u);
    // A short repeat would be heard as a tone: no shift of up to 4096 samples matches.
    for (std::size_t shift = 1; shift <= 4096; ++shift) {
        std::size_t same = 0;
        for (std::size_t i = 0; i + shift < s.size(); ++i)
            same += s[i] == s[i + shift];
        ASSERT_LT(same, (s.size() - shift) * 3 / 4) << "repeats after " << shift;
    }
}

TEST(SampleFiles, SlowOscillatorIsOnePeriodAndTheSweepFollowsIt)
{
    Samples slow = Read("slf.snd");
    Samples sweep = Read("vco_slf.snd");
    EXPECT_GE(22050.0 / static_cast<double>(slow.size()), 1.0);
    EXPECT_LE(22050.0 / static_cast<double>(slow.size()), 10.0);
    // One period: a single rising crossing of the centre in the whole loop, seam included.
    EXPECT_EQ(RisingEdges(slow).size(), 1u);
    // The sweep's pitch is high where the slow oscillator is high: compare the length of
    // its periods around the slow wave's highest and lowest points.
    std::vector<std::size_t> edges = RisingEdges(sweep);
    ASSERT_GT(edges.size(), 100u);
    // A whole number of cycles: the period across the seam is as long as the first one.
    EXPECT_NEAR(double(sweep.size() - edges.back() + edges.front()), double(edges[1] - edges[0]), 2.0);
    auto periodNear = [&](Samples::const_iterator at) {
        auto next = std::lower_bound(edges.begin(), edges.end(), std::size_t(at - slow.begin()));
        next = std::min(next, edges.end() - 2);
        return static_cast<double>(*(next + 1) - *next);
    };
    EXPECT_LT(periodNear(std::max_element(slow.begin(), slow.end())) * 1.5,
              periodNear(std::min_element(slow.begin(), slow.end())));
}

}  // namespace
