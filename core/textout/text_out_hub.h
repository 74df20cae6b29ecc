#pragma once

#include <array>
#include <memory>
#include <string>

#include "textout/text_out.h"

// The four sink slots through which messages reach the user. Slot 0 holds the sink that shows messages
// at once and asks questions, slot 1 the buffering sink; slots 2 and 3 are free. A sink lives as long as
// some slot holds it. Each program makes one hub and hands it to whatever reports to the user (the MIDI
// environment shares it as its text-output slots).
class TextOutHub {
  public:
    static constexpr int kSlotCount = 4;
    static constexpr int kMessageBoxSlot = 0;
    static constexpr int kBufferSlot = 1;

    void SetTextOut(int slot, std::shared_ptr<CKivTextOut> sink);
    CKivTextOut* GetTextOut(int slot) const;
    void Clear();

    // Writes the catalogue text of id to the buffering sink (slot 1).
    void ReportMessage(int id) const;
    // The same with "%1" in the text replaced by argument.
    void ReportMessage(int id, const std::string& argument) const;
    // Asks through the message-box sink (slot 0); answers ANSWER_CANCEL when no sink can ask.
    int AskMessage(int buttons, int id, int icon) const;
    // Shows the catalogue text of id at once in an OK box with an exclamation mark.
    void ShowMessage(int id) const;

    // While one lives, whatever its thread writes or asks through any hub goes to sink instead of the
    // slots (questions are answered by sink): work in the background keeps what it would tell the user and
    // decides itself whether, and where, it is shown. They nest; the innermost counts.
    class CThreadRedirect {
      public:
        explicit CThreadRedirect(CKivTextOut& sink);
        ~CThreadRedirect();
        CThreadRedirect(const CThreadRedirect&) = delete;
        CThreadRedirect& operator=(const CThreadRedirect&) = delete;

      private:
        CKivTextOut* previous_;
    };

  private:
    std::array<std::shared_ptr<CKivTextOut>, kSlotCount> slots_;
};
