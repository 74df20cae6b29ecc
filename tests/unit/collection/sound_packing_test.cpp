#include "collection/sound_packing.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(SoundPacking, EverySoundComesBackWholeAndDamagedBytesAreRefused) {
    // Runs of every length around the limits of a token, zero and not, and literal stretches around theirs;
    // a sound of no runs at all, kept as it is.
    std::vector<SoundData> sounds(4);
    sounds[0].fill(0);
    sounds[1].fill(0x7F);
    std::size_t at = 0;
    for (std::size_t length = 1; at < sounds[2].size(); ++length) {
        for (std::size_t i = 0; i < length && at < sounds[2].size(); ++i)
            sounds[2][at++] = static_cast<std::uint8_t>(length % 3 == 0 ? 0 : length % 5);
        if (length == 140) length = 0;
    }
    for (std::size_t i = 0; i < sounds[3].size(); ++i)
        sounds[3][i] = static_cast<std::uint8_t>((i * 7 + i / 128) & 0x7F);
    for (std::size_t i = 0; i < 1200; i += 3)
        sounds.push_back(sounds[0]), sounds.back()[i] = 1, sounds.back()[i + 1] = 1,
                                     sounds.back()[2177 - i] = 9;

    std::vector<std::uint8_t> packed;
    SoundData back{};
    for (const SoundData& sound : sounds) {
        PackSound(sound, packed);
        ASSERT_TRUE(UnpackSound(packed, back));
        ASSERT_EQ(back, sound);
        std::vector<std::uint8_t> again;
        PackSound(sound, again);
        EXPECT_EQ(again, packed);
    }
    PackSound(sounds[0], packed);
    EXPECT_LE(packed.size(), 40u);
    PackSound(sounds[3], packed);
    EXPECT_EQ(packed, std::vector<std::uint8_t>(sounds[3].begin(), sounds[3].end()));

    // Cut short, one byte too many, a run past the end, another format: refused.
    PackSound(sounds[2], packed);
    std::vector<std::uint8_t> damaged(packed.begin(), packed.end() - 1);
    EXPECT_FALSE(UnpackSound(damaged, back));
    damaged = packed;
    damaged.push_back(0x80);
    EXPECT_FALSE(UnpackSound(damaged, back));
    damaged = {kPackedFormat, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF,
               0xBF,          0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF,
               0xBF,          0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0xBF, 0x7F};
    EXPECT_FALSE(UnpackSound(damaged, back));
    damaged = packed;
    damaged[0] = 2;
    EXPECT_FALSE(UnpackSound(damaged, back));
    EXPECT_FALSE(UnpackSound({}, back));
}
