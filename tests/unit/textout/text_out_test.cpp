#include "textout/text_out.h"

#include <gtest/gtest.h>

#include <memory>

#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"

namespace {
// Records every text handed to Output, and answers questions as told.
class RecordingTextOut : public CKivTextOut {
  public:
    std::string all;
    std::vector<std::string> outputs;
    int answer = ANSWER_OK;
    std::string asked;

    int Ask(int, const std::string& text, int) override {
        asked = text;
        return answer;
    }

  protected:
    void Output(const std::string& text) override {
        outputs.push_back(text);
        all += text;
    }
};

class HubTest : public ::testing::Test {
  protected:
    void TearDown() override { GetMessageCatalog().SetLanguage(LANGUAGE_ENGLISH); }

    TextOutHub hub;
};
}  // namespace

TEST(TextOut, IndentPrefixesEveryLineAndShrinksToNothing) {
    RecordingTextOut out;
    out.Indent(2);
    out.Write("one\ntwo\n");
    EXPECT_EQ(out.all, "  one\n  two\n");
    out.Indent(-5);
    EXPECT_EQ(out.Prefix(), "");
    out.Write("three\n");
    EXPECT_EQ(out.outputs.back(), "three\n");
}

TEST(TextOut, AWriteWithoutLineFeedContinuesTheLineWithoutAnotherPrefix) {
    RecordingTextOut out;
    out.Indent(3);
    out.Write("begin ");
    out.Write("end\nnext");
    EXPECT_EQ(out.all, "   begin end\n   next");
}

TEST(TextOut, PrintfFormatsAndCutsLongTextAt511Bytes) {
    RecordingTextOut out;
    out.Printf("patch %d of %s", 7, "200");
    EXPECT_EQ(out.all, "patch 7 of 200");
    out.Printf("%s", std::string(600, 'x').c_str());
    EXPECT_EQ(out.outputs.back().size(), 511u);
}

TEST(TextOutBuffer, KeepsOnlyTheLastTextAndFlushesOnlyWhenThereIsSomething) {
    CKivTextOutBuffer buffer;
    RecordingTextOut target;
    buffer.FlushTo(&target);
    EXPECT_TRUE(target.outputs.empty());

    buffer.Write("first\n");
    buffer.Write("second\n");
    EXPECT_EQ(buffer.Buffer(), "second\n");
    buffer.FlushTo(&target);
    EXPECT_EQ(target.all, "second\n");
    EXPECT_EQ(buffer.Buffer(), "");

    buffer.Write("dropped\n");
    buffer.FlushTo(nullptr);
    EXPECT_EQ(buffer.Buffer(), "");
    EXPECT_EQ(buffer.Ask(ASK_YES_NO, "?", ICON_QUESTION), ANSWER_OK);
}

TEST_F(HubTest, MessagesGoToTheirSlotsInTheCurrentLanguage) {
    auto box = std::make_shared<RecordingTextOut>();
    auto buffer = std::make_shared<CKivTextOutBuffer>();
    hub.SetTextOut(TextOutHub::kMessageBoxSlot, box);
    hub.SetTextOut(TextOutHub::kBufferSlot, buffer);

    hub.ReportMessage(MSG_LOAD_FAILED);
    EXPECT_EQ(buffer->Buffer(), "This file could not be loaded.");
    EXPECT_TRUE(box->outputs.empty());

    box->answer = ANSWER_NO;
    EXPECT_EQ(hub.AskMessage(ASK_YES_NO, MSG_CONFIRM_WRITE_USER, ICON_QUESTION), ANSWER_NO);
    EXPECT_EQ(box->asked, "Are you sure you want to overwrite the data in the TQ-550?");

    GetMessageCatalog().SetLanguage(LANGUAGE_JAPANESE);
    hub.ShowMessage(MSG_DONT_SHOW_AGAIN);
    EXPECT_EQ(box->asked, "次からこのダイアログを表示しない。");
}

TEST_F(HubTest, ASinkLivesWhileAnySlotHoldsIt) {
    auto sink = std::make_shared<RecordingTextOut>();
    std::weak_ptr<RecordingTextOut> watch = sink;
    hub.SetTextOut(0, sink);
    hub.SetTextOut(2, sink);
    sink.reset();
    hub.SetTextOut(0, nullptr);
    EXPECT_FALSE(watch.expired());
    hub.SetTextOut(2, std::make_shared<CKivTextOut>());
    EXPECT_TRUE(watch.expired());
}

TEST_F(HubTest, WithoutSinksNothingIsShownAndQuestionsAreCancelled) {
    hub.ReportMessage(MSG_LOAD_FAILED);
    hub.ShowMessage(MSG_LOAD_FAILED);
    EXPECT_EQ(hub.AskMessage(ASK_YES_NO, MSG_CONFIRM_READ_USER, ICON_QUESTION), ANSWER_CANCEL);
    EXPECT_EQ(hub.GetTextOut(7), nullptr);
}
