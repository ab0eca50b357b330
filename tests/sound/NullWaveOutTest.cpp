#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "TempFolder.h"
#include "devices/CSound.h"
#include "host/CNullWaveOut.h"

TEST(NullWaveOut, HandsBackWhatWasWrittenSinceTheLastDelivery)
{
    CNullWaveOut out;
    std::uint8_t bytes[3][4] = {};
    WaveBuffer buffers[3];
    for (std::uintptr_t i = 0; i < 3; ++i) {
        buffers[i].data = bytes[i];
        buffers[i].length = 4;
        buffers[i].user = i;
    }
    WaveBuffer empty;
    EXPECT_FALSE(out.Prepare(empty));
    ASSERT_TRUE(out.Prepare(buffers[0]));
    EXPECT_FALSE(out.Write(buffers[0])) << "not open yet";
    ASSERT_TRUE(out.Open());
    EXPECT_FALSE(out.Write(buffers[1])) << "not prepared";
    for (WaveBuffer& b : buffers)
        ASSERT_TRUE(out.Prepare(b) && out.Write(b));
    EXPECT_FALSE(out.Write(buffers[0])) << "already queued";
    EXPECT_FALSE(out.Unprepare(buffers[0])) << "still queued";

    // The handler writes every buffer again; those come back only on the next delivery.
    std::vector<std::uintptr_t> seen;
    auto requeue = [&](WaveBuffer& b) {
        EXPECT_EQ(b.flags & (WaveBuffer::DONE | WaveBuffer::QUEUED), WaveBuffer::DONE);
        seen.push_back(b.user);
        EXPECT_TRUE(out.Unprepare(b));
        EXPECT_TRUE(out.Prepare(b) && out.Write(b));
    };
    out.DeliverFinished(requeue);
    EXPECT_EQ(seen, (std::vector<std::uintptr_t>{0, 1, 2}));
    seen.clear();
    out.DeliverFinished(requeue);
    EXPECT_EQ(seen, (std::vector<std::uintptr_t>{0, 1, 2}));
    seen.clear();
    out.DeliverFinished([&](WaveBuffer& b) { seen.push_back(b.user); });
    out.DeliverFinished([&](WaveBuffer& b) { seen.push_back(b.user); });
    EXPECT_EQ(seen, (std::vector<std::uintptr_t>{0, 1, 2})) << "nothing written again, nothing more";
}

TEST(NullWaveOut, KeepsTheSoundGeneratorsRingGoing)
{
    TempFolder dir;
    std::vector<std::uint8_t> hi(200);
    for (std::size_t i = 0; i < hi.size(); ++i)
        hi[i] = static_cast<std::uint8_t>(i);
    for (const char* name : {"slf.snd", "vco_slf.snd", "vco_lo.snd", "noise.snd"})
        dir.Write(name, 500, 0x40);
    dir.Write("vco_hi.snd", hi);

    CNullWaveOut out;
    CSound sound;
    ASSERT_TRUE(sound.Init(out));
    sound.SetControl(0x01);
    std::vector<std::uint8_t> rendered;
    for (int frame = 0; frame < 3; ++frame) {
        int count = 0;
        out.DeliverFinished([&](WaveBuffer& b) {
            ++count;
            sound.OnBufferDone(b);
            rendered.insert(rendered.end(), b.data, b.data + b.length);
        });
        EXPECT_EQ(count, 20) << frame;
    }
    ASSERT_EQ(rendered.size(), 60u * 110u);
    for (std::size_t k = 0; k < rendered.size(); ++k)
        ASSERT_EQ(rendered[k], hi[k % hi.size()]) << k;
}
