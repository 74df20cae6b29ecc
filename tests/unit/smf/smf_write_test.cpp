#include <gtest/gtest.h>

#include "smf_test_support.h"

TEST(SmfWrite, TempoAndEndOfTrackFile) {
    MemorySmfWrite writer;
    ASSERT_TRUE(writer.BeginFile());
    ASSERT_TRUE(writer.BeginTrack());
    ASSERT_TRUE(writer.WriteMeta(0, CKivSmfWrite::MakeTempo(120.0)));
    ASSERT_TRUE(writer.EndTrack(0));
    ASSERT_TRUE(writer.FinishFile());
    EXPECT_EQ(writer.bytes, (Bytes{0x4D, 0x54, 0x68, 0x64, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00,
                                   0x01, 0x00, 0x60, 0x4D, 0x54, 0x72, 0x6B, 0x00, 0x00, 0x00, 0x0B,
                                   0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0x00}));
    EXPECT_EQ(writer.TrackCount(), 1);
    EXPECT_EQ(writer.Position(), writer.bytes.size());
}

TEST(SmfWrite, VariableLengthQuantities) {
    auto vlq = [](std::int64_t v) {
        Bytes out;
        EXPECT_TRUE(CKivSmfWrite::AppendVariableLength(v, out));
        return out;
    };
    EXPECT_EQ(vlq(0), (Bytes{0x00}));
    EXPECT_EQ(vlq(20), (Bytes{0x14}));
    EXPECT_EQ(vlq(200), (Bytes{0x81, 0x48}));
    EXPECT_EQ(vlq(0x4000), (Bytes{0x81, 0x80, 0x00}));
    EXPECT_EQ(vlq(0x0FFFFFFF), (Bytes{0xFF, 0xFF, 0xFF, 0x7F}));
    Bytes out;
    EXPECT_FALSE(CKivSmfWrite::AppendVariableLength(0x10000000, out));
    EXPECT_FALSE(CKivSmfWrite::AppendVariableLength(-1, out));
    EXPECT_TRUE(out.empty());
}

TEST(SmfWrite, TempoIsMicrosecondsPerQuarterTruncated) {
    EXPECT_EQ(CKivSmfWrite::MakeTempo(120.0), (CKivSmfMeta{0x51, {0x07, 0xA1, 0x20}}));
    EXPECT_EQ(CKivSmfWrite::MakeTempo(7.0).data, (Bytes{0x82, 0xCA, 0x24}));  // 8571428.57
    EXPECT_EQ(CKivSmfWrite::MakeTempo(0.0).data, (Bytes{0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(CKivSmfWrite::MakeTempo(-5.0).data, (Bytes{0x00, 0x00, 0x01}));
}

TEST(SmfWrite, WrittenEventsReadBack) {
    MemorySmfWrite writer;
    const Bytes sysex{0xF0, 0x41, 0x00, 0x00, 0x00, 0x60, 0x12, 0x7F, 0xF7};
    ASSERT_TRUE(writer.BeginFile());
    ASSERT_TRUE(writer.BeginTrack());
    ASSERT_TRUE(writer.WriteSysEx(200, sysex));
    ASSERT_TRUE(writer.WriteMeta(3, CKivSmfMeta{0x01, Bytes(130, 'a')}));
    ASSERT_TRUE(writer.EndTrack(20));
    ASSERT_TRUE(writer.BeginTrack());
    ASSERT_TRUE(writer.EndTrack(0));
    ASSERT_TRUE(writer.FinishFile());
    EXPECT_EQ(writer.TrackCount(), 2);

    RecordingSmfRead reader(writer.bytes);
    ASSERT_TRUE(reader.Parse());
    ASSERT_EQ(reader.log.size(), 7u);
    EXPECT_EQ(reader.log[0], "header 0 2 96");
    EXPECT_EQ(reader.log[1], "track 151");  // 12 + 135 + 4 bytes
    EXPECT_EQ(reader.log[2], "sysex 200 F04100000060127FF7");
    EXPECT_EQ(reader.log[4], "meta 20 2F ");
    EXPECT_EQ(reader.log[5], "track 4");
}

TEST(SmfWrite, RefusedBytesFailTheStep) {
    MemorySmfWrite full;
    full.capacity = 20;
    ASSERT_TRUE(full.BeginFile());
    EXPECT_FALSE(full.BeginTrack());

    MemorySmfWrite writer;
    ASSERT_TRUE(writer.BeginFile());
    EXPECT_FALSE(writer.EndTrack(0));  // no track open
    ASSERT_TRUE(writer.BeginTrack());
    writer.capacity = writer.bytes.size() + 3;
    EXPECT_FALSE(writer.WriteMeta(0, CKivSmfWrite::MakeTempo(120.0)));
    EXPECT_FALSE(writer.WriteSysEx(0, Bytes{0x41, 0xF7}));  // not a System Exclusive message
    EXPECT_FALSE(writer.WriteMeta(-1, CKivSmfMeta{}));
}
