#include <gtest/gtest.h>

#include "import/data.h"
#include "import_test_support.h"

namespace {

struct Tq4Block {
    int target;
    int source;
};

EarlierImage Tq4Image(const std::vector<Tq4Block>& blocks) {
    EarlierImage in = DefaultEarlierImage();
    for (std::size_t k = 0; k < blocks.size(); ++k) {
        const std::size_t at = 533 + 17 * k;
        in[at] = 1;
        Put14(in, at + 2, blocks[k].target);
        in[at + 8] = static_cast<std::uint8_t>(blocks[k].source);
        in[at + 16] = static_cast<std::uint8_t>(k + 1);
    }
    return in;
}

}  // namespace

TEST(Tq4Layout, AssignmentBlocksMoveAndTranslateTargetsAndSources) {
    const EarlierImage in = Tq4Image({{141, 0}, {142, 1}, {460, 2}, {464, 5}, {480, 6}, {481, 71}, {0, 72}});
    EarlierImage out{};
    ConvertTq4Image(in, out);
    const int targets[] = {141, 144, 468, 474, 492, 481, 0};
    const int sources[] = {1, 2, 0, 5, 8, 73, 72};
    for (std::size_t k = 0; k < 7; ++k) {
        const std::size_t at = 670 + 17 * k;
        EXPECT_EQ(out[at], 1) << k;
        EXPECT_EQ(Get14(out, at + 2), targets[k]) << k;
        EXPECT_EQ(out[at + 8], sources[k]) << k;
        EXPECT_EQ(out[at + 16], k + 1) << k;
    }
    // The rest of the image is the input as it was.
    EXPECT_EQ(Bytes(out.begin(), out.begin() + 510), Bytes(in.begin(), in.begin() + 510));
    EXPECT_EQ(Bytes(out.begin() + 533, out.begin() + 670), Bytes(in.begin() + 533, in.begin() + 670));
}

TEST(Tq4Layout, ShortSettingsBecomeAssignmentBlocksElevenAndTwelve) {
    EarlierImage in = DefaultEarlierImage();
    in[526] = 1;
    in[527] = 29;
    in[528] = 1;
    in[529] = 2;
    in[530] = 7;
    in[531] = 8;
    in[532] = 9;
    EarlierImage out{};
    ConvertTq4Image(in, out);
    EXPECT_EQ(out[857], 1);
    EXPECT_EQ(Get14(out, 859), 492);
    EXPECT_EQ(Bytes(out.begin() + 861, out.begin() + 869), (Bytes{0, 0, 0, 1, 1, 1, 0, 127}));
    EXPECT_EQ(out[840], 1);
    EXPECT_EQ(Get14(out, 842), 0);
    EXPECT_EQ(Bytes(out.begin() + 844, out.begin() + 852), (Bytes{0, 0, 0, 1, 2, 1, 0, 127}));
    EXPECT_EQ(Bytes(out.begin() + 874, out.begin() + 877), (Bytes{7, 8, 9}));
    // A choice beyond table C has no target: that assignment stays off.
    in[527] = 30;
    ConvertTq4Image(in, out);
    EXPECT_EQ(out[857], 0);
}

TEST(Tq4Layout, NameBytes7Fand7EBecome7Band7D) {
    EarlierImage in = DefaultEarlierImage();
    in[512] = 0x7F;
    in[513] = 0x7E;
    EarlierImage out{};
    ConvertTq4Image(in, out);
    EXPECT_EQ(out[512], 0x7B);
    EXPECT_EQ(out[513], 0x7D);
}

TEST(Tq4Layout, ConvertLayoutTurnsEveryPatchOfAList) {
    TQML::CPatchArray patches;
    for (int i = 0; i < 3; ++i) {
        auto patch = std::make_unique<TQML::CPatch>();
        EarlierImage image = Tq4Image({{142, 0}});
        image[0] = static_cast<std::uint8_t>(i);
        patch->SetImage(image);
        patches.Add(std::move(patch));
    }
    EarlierImageConverter().ConvertLayout(patches, 2);  // no other direction exists
    EXPECT_EQ(Get14(patches[0].GetImageBytes(), 672), 0);
    EarlierImageConverter().ConvertLayout(patches, EarlierImageConverter::kTq4ToTqMax);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(Get14(patches[i].GetImageBytes(), 672), 144);
        EXPECT_EQ(patches[i].GetImageBytes()[0], i);
    }
}
