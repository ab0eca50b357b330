#include <gtest/gtest.h>

#include <cstdint>

#include "devices/CSoundTables.h"

TEST(SoundTables, AttenuationKeepsLevelZeroAndSilencesLevel255)
{
    CSoundTables t;
    t.Build();
    for (int s = 0; s < 256; ++s) {
        const auto v = static_cast<std::uint8_t>(s);
        ASSERT_EQ(t.Attenuate(v, 0), v) << s;
        ASSERT_EQ(t.Attenuate(v, 255), 0x80) << s;
    }
    // value, level, result: halves at 128, truncation toward the zero level on both sides.
    const int vectors[][3] = {
        {0x00, 128, 0x40}, {0xFF, 128, 0xBF}, {0x00, 1, 0x01}, {0xFF, 1, 0xFE},
        {0x00, 254, 0x7F}, {0xFF, 254, 0x80}, {0x7F, 254, 0x80}, {0x81, 2, 0x80},
        {0x40, 64, 0x50}, {0xC0, 192, 0x90}, {0x80, 77, 0x80},
    };
    for (const auto& v : vectors) {
        EXPECT_EQ(t.Attenuate(static_cast<std::uint8_t>(v[0]), static_cast<std::uint8_t>(v[1])), v[2])
            << v[0] << " at " << v[1];
    }
}

TEST(SoundTables, MixingAveragesAroundTheZeroLevel)
{
    CSoundTables t;
    t.Build();
    const int vectors[][3] = {
        {0x00, 0x00, 0x00}, {0xFF, 0xFF, 0xFF}, {0x80, 0x80, 0x80},
        {0x00, 0xFF, 0x80}, {0xFF, 0x00, 0x80},
        {0x81, 0x80, 0x80}, {0x7F, 0x80, 0x80},  // half a step rounds toward 0x80 either way
        {0x00, 0x80, 0x40}, {0xFF, 0x80, 0xBF}, {0xA0, 0xC0, 0xB0}, {0x10, 0x31, 0x21},
    };
    for (const auto& v : vectors) {
        EXPECT_EQ(t.Mix(static_cast<std::uint8_t>(v[0]), static_cast<std::uint8_t>(v[1])), v[2])
            << v[0] << " with " << v[1];
    }
}
