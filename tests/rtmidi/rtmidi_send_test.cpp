#include <RtMidi.h>
#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <sstream>
#include <utility>

#include "midi/midi_test_support.h"
#include "rtmidi/midi_system_probe.h"
#include "rtmidi/rtmidi_errors.h"
#include "rtmidi/rtmidi_input_filter.h"

namespace {

// An RtMidi output API that reports through RtMidi's own error path what the ALSA one reports when the
// sequencer refuses an event: a warning, and the message not sent.
class CWarningOutApi : public MidiOutApi {
  public:
    RtMidi::Api getCurrentApi() override { return RtMidi::RTMIDI_DUMMY; }
    void openPort(unsigned int, const std::string&) override {
        error(RtMidiError::WARNING, "MidiOutAlsa::openPort: a valid connection already exists!");
    }
    void openVirtualPort(const std::string&) override {}
    void closePort() override {}
    void setClientName(const std::string&) override {}
    void setPortName(const std::string&) override {}
    unsigned int getPortCount() override { return 0; }
    std::string getPortName(unsigned int) override { return {}; }
    void sendMessage(const unsigned char* message, std::size_t size) override {
        if (refuse) {
            error(RtMidiError::WARNING, "MidiOutAlsa::sendMessage: error sending MIDI message to port.");
            return;
        }
        sent.emplace_back(message, message + size);
    }

    bool refuse = false;
    std::vector<Bytes> sent;

  protected:
    void initialize(const std::string&) override {}
};

// An RtMidiOut on that API. RtMidi makes its object on a compiled API first; JACK's can be made without a
// server (it only warns, which goes to a muted stream here).
class CTestRtMidiOut : public RtMidiOut {
  public:
    explicit CTestRtMidiOut(std::unique_ptr<CWarningOutApi> api)
        : RtMidiOut(RtMidi::UNIX_JACK, "tq550 test") {
        api_ = api.get();
        std::unique_ptr<MidiApi> made(std::exchange(rtapi_, api.release()));
    }
    CWarningOutApi& Api() { return *api_; }

  private:
    CWarningOutApi* api_ = nullptr;
};

std::unique_ptr<CTestRtMidiOut> MakeTestOut() {
    std::vector<RtMidi::Api> apis;
    RtMidi::getCompiledApi(apis);
    if (std::find(apis.begin(), apis.end(), RtMidi::UNIX_JACK) == apis.end()) return nullptr;
    SilenceMidiLibraries();
    std::ostringstream muted;
    std::streambuf* saved = std::cerr.rdbuf(muted.rdbuf());
    auto out = std::make_unique<CTestRtMidiOut>(std::make_unique<CWarningOutApi>());
    std::cerr.rdbuf(saved);
    return out;
}

}  // namespace

TEST(RtMidiSend, AWarningOfTheSendFailsItAndOtherWarningsStayIgnored) {
    std::unique_ptr<CTestRtMidiOut> out = MakeTestOut();
    if (!out) GTEST_SKIP() << "this RtMidi has no JACK API to make an output object on";
    std::string error;
    ReportRtMidiErrorsTo(*out, error);

    const Bytes message = NumberedSysEx(20, 3);
    EXPECT_TRUE(SendRtMidiMessage(*out, error, message));
    EXPECT_EQ(out->Api().sent, (std::vector<Bytes>{message}));

    out->Api().refuse = true;
    EXPECT_FALSE(SendRtMidiMessage(*out, error, message));
    EXPECT_EQ(error, "MidiOutAlsa::sendMessage: error sending MIDI message to port.");

    // Outside a send a warning is no failure: opening keeps no text.
    error.clear();
    out->openPort(0, "out");
    EXPECT_TRUE(error.empty());
    out->Api().refuse = false;
    EXPECT_TRUE(SendRtMidiMessage(*out, error, message));
}

TEST(RtMidiInput, SystemExclusiveMessagesJoinedWithWhatFollowedAreDropped) {
    // Whole messages pass.
    EXPECT_TRUE(AcceptRtMidiInput(NumberedSysEx(2178, 1)));
    EXPECT_TRUE(AcceptRtMidiInput(Bytes{0xF0, 0xF7}));
    EXPECT_TRUE(AcceptRtMidiInput(Bytes{0x90, 0x3C, 0x64}));
    EXPECT_TRUE(AcceptRtMidiInput(Bytes{0xFE}));

    Bytes cut = NumberedSysEx(300, 2);
    cut.resize(256);
    // A message cut off, then a note from the same port: no F7 at the end.
    Bytes withNote = cut;
    withNote.insert(withNote.end(), {0x90, 0x3C, 0x64});
    EXPECT_FALSE(AcceptRtMidiInput(withNote));
    // Then the next whole message: F7 at the end, and a second F0 inside.
    Bytes withMessage = cut;
    const Bytes next = NumberedSysEx(17, 4);
    withMessage.insert(withMessage.end(), next.begin(), next.end());
    EXPECT_FALSE(AcceptRtMidiInput(withMessage));
    EXPECT_FALSE(AcceptRtMidiInput(cut));
    EXPECT_FALSE(AcceptRtMidiInput(Bytes{0xF0}));
}
