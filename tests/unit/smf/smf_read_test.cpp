#include <gtest/gtest.h>

#include "smf_test_support.h"

using Log = std::vector<std::string>;

namespace {
const Bytes kEndOfTrack{0x00, 0xFF, 0x2F, 0x00};
}

TEST(SmfRead, HeaderMustBeMThdWithLengthSix) {
    Bytes good = SmfFile(0, 0, {});
    RecordingSmfRead ok(good);
    EXPECT_TRUE(ok.Parse());
    EXPECT_EQ(ok.log, (Log{"header 0 0 96"}));

    Bytes seven = good;
    seven[7] = 7;
    EXPECT_FALSE(RecordingSmfRead(seven).Parse());
    Bytes wrongId = good;
    wrongId[3] = 'D';
    EXPECT_FALSE(RecordingSmfRead(wrongId).Parse());
    EXPECT_FALSE(RecordingSmfRead(Bytes(good.begin(), good.end() - 1)).Parse());
    EXPECT_FALSE(RecordingSmfRead(Bytes{}).Parse());
}

TEST(SmfRead, SysExEventsWithF0AndF7Status) {
    const Bytes body{0x00, 0xF0, 0x05, 0x41, 0x10, 0x00, 0x12, 0xF7,  // F0 event
                     0x14, 0xF7, 0x05, 0x41, 0x10, 0x00, 0x12, 0xF7,  // F7 event
                     0x00, 0xFF, 0x2F, 0x00};
    RecordingSmfRead reader(SmfFile(0, 1, {body}));
    ASSERT_TRUE(reader.Parse());
    EXPECT_EQ(reader.log, (Log{"header 0 1 96", "track 20", "sysex 0 F041100012F7", "sysex 20 41100012F7",
                               "meta 0 2F "}));
}

TEST(SmfRead, ChannelMessagesAndRunningStatus) {
    const Bytes body{0x00, 0x90, 0x3C, 0x40, 0x00, 0x3E, 0x40,  // note on, then running status
                     0x81, 0x48, 0xC2, 0x05, 0x00, 0x06,        // program change (one data byte), running
                     0x00, 0xF8,                                // real-time byte: no callback, no data
                     0x00, 0xFF, 0x2F, 0x00};
    RecordingSmfRead reader(SmfFile(0, 1, {body}));
    reader.logTracks = false;
    ASSERT_TRUE(reader.Parse());
    EXPECT_EQ(reader.log, (Log{"header 0 1 96", "channel 0 403C90", "channel 0 403E90", "channel 200 0005C2",
                               "channel 0 0006C2", "meta 0 2F "}));
}

TEST(SmfRead, DataByteWithoutRunningStatusIsReadAgainAsDelta) {
    // Delta 0, then 40H with no running status: it becomes the delta of the End of Track event.
    RecordingSmfRead reader(SmfFile(0, 1, {Bytes{0x00, 0x40, 0xFF, 0x2F, 0x00}}));
    reader.logTracks = false;
    ASSERT_TRUE(reader.Parse());
    EXPECT_EQ(reader.log, (Log{"header 0 1 96", "meta 64 2F "}));
}

TEST(SmfRead, EndOfTrackEndsTheTrackWhateverItsLengthSays) {
    Bytes file = SmfFile(0, 1, {Bytes{0x00, 0xFF, 0x2F, 0x00}});
    file[21] = 0x40;  // claims 64 bytes
    file.insert(file.end(), {0x00, 0x90, 0x3C, 0x40});
    RecordingSmfRead reader(file);
    reader.logTracks = false;
    ASSERT_TRUE(reader.Parse());
    EXPECT_EQ(reader.log, (Log{"header 0 1 96", "meta 0 2F "}));
}

TEST(SmfRead, TracksAreReadInFileOrderWithTheirOwnDeltas) {
    const Bytes t1{0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0x00};
    const Bytes t2{0x05, 0x90, 0x3C, 0x40, 0x07, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00};
    RecordingSmfRead reader(SmfFile(1, 2, {t1, t2}));
    reader.logTracks = false;
    ASSERT_TRUE(reader.Parse());
    EXPECT_EQ(reader.log, (Log{"header 1 2 96", "meta 0 51 07A120", "meta 0 2F ", "channel 5 403C90",
                               "channel 7 003C80", "meta 0 2F "}));
    EXPECT_EQ(reader.TrackCount(), 2);
}

TEST(SmfRead, MissingTrackFailsAfterTheTracksThatArePresent) {
    RecordingSmfRead reader(SmfFile(1, 2, {Bytes{0x00, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}}));
    reader.logTracks = false;
    EXPECT_FALSE(reader.Parse());
    EXPECT_EQ(reader.log, (Log{"header 1 2 96", "channel 0 403C90", "meta 0 2F "}));

    Bytes wrongChunk = SmfFile(0, 1, {kEndOfTrack});
    wrongChunk[17] = 'X';
    EXPECT_FALSE(RecordingSmfRead(wrongChunk).Parse());
    // A track without End of Track runs into the end of the data.
    EXPECT_FALSE(RecordingSmfRead(SmfFile(0, 1, {Bytes{0x00, 0x90, 0x3C, 0x40}})).Parse());
}

TEST(SmfRead, VariableLengthQuantities) {
    // Four bytes is the most: 0FFFFFFF is read, a fifth byte is refused.
    RecordingSmfRead longest(SmfFile(0, 1, {Bytes{0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0x2F, 0x00}}));
    longest.logTracks = false;
    ASSERT_TRUE(longest.Parse());
    EXPECT_EQ(longest.log.back(), "meta 268435455 2F ");

    EXPECT_FALSE(
        RecordingSmfRead(SmfFile(0, 1, {Bytes{0x81, 0x80, 0x80, 0x80, 0x00, 0xFF, 0x2F, 0x00}})).Parse());
    // An event length of five bytes.
    EXPECT_FALSE(RecordingSmfRead(SmfFile(0, 1, {Bytes{0x00, 0xF0, 0x80, 0x80, 0x80, 0x80, 0x01}})).Parse());
}

TEST(SmfRead, TruncatedEventsFail) {
    const Bytes cases[] = {
        Bytes{0x00},                          // no status
        Bytes{0x00, 0x90, 0x3C},              // one data byte missing
        Bytes{0x00, 0xFF},                    // no meta type
        Bytes{0x00, 0xFF, 0x2F},              // no meta length
        Bytes{0x00, 0xFF, 0x01, 0x05, 0x41},  // meta data cut short
        Bytes{0x00, 0xF0, 0x05, 0x41, 0x10},  // System Exclusive cut short
        Bytes{0x80},                          // delta cut short
    };
    for (const Bytes& body : cases)
        EXPECT_FALSE(RecordingSmfRead(SmfFile(0, 1, {body})).Parse());
}

TEST(SmfRead, HostileLengthsFailWithoutReadingOrHoldingWhatIsNotThere) {
    // A System Exclusive event and a meta event claiming 2^28 - 1 bytes, with ten bytes present.
    for (const std::uint8_t status : {0xF0, 0xFF}) {
        Bytes body{0x00, status};
        if (status == 0xFF) body.push_back(0x7F);
        body.insert(body.end(), {0xFF, 0xFF, 0xFF, 0x7F});
        body.insert(body.end(), 10, 0x01);
        RecordingSmfRead reader(SmfFile(0, 1, {body}));
        EXPECT_FALSE(reader.Parse());
        EXPECT_LE(reader.largestRequest, 64u * 1024u);
        EXPECT_EQ(reader.log.size(), 2u);  // header and track only
    }
}

TEST(SmfRead, TrackCountsAbove32767) {
    const int tracks = 40000;
    std::vector<Bytes> bodies(tracks, kEndOfTrack);
    RecordingSmfRead reader(SmfFile(1, static_cast<std::uint16_t>(tracks), bodies));
    reader.logTracks = false;
    ASSERT_TRUE(reader.Parse());
    EXPECT_EQ(reader.TrackCount(), tracks);
    EXPECT_EQ(reader.tracksStarted, tracks);

    // 65535 announced, 2 present.
    RecordingSmfRead shortFile(SmfFile(1, 0xFFFF, {kEndOfTrack, kEndOfTrack}));
    EXPECT_FALSE(shortFile.Parse());
    EXPECT_EQ(shortFile.tracksStarted, 2);
    EXPECT_EQ(shortFile.TrackCount(), 0xFFFF);
}

TEST(SmfRead, BytesAfterTheLastTrackAreIgnored) {
    Bytes file = SmfFile(0, 1, {kEndOfTrack});
    file.insert(file.end(), {'j', 'u', 'n', 'k'});
    EXPECT_TRUE(RecordingSmfRead(file).Parse());
}
