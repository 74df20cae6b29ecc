#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "textout/text_out.h"
#include "textout/text_out_hub.h"

// Shows text at once on standard error; it cannot ask questions (answers Cancel).
class CConsoleTextOut : public CKivTextOut {
  public:
    int Ask(int buttons, const std::string& text, int icon) override;

  protected:
    void Output(const std::string& text) override;
};

// Collects every message reported during an operation, so that all of them can be shown at its end.
class CCollectingTextOut : public CKivTextOut {
  public:
    const std::vector<std::string>& Messages() const { return messages_; }
    void Clear() { messages_.clear(); }

  protected:
    void Output(const std::string& text) override { messages_.push_back(text); }

  private:
    std::vector<std::string> messages_;
};

// The text-output hub of the command line program, with the console sinks installed.
class ConsoleMessages {
  public:
    ConsoleMessages();
    ConsoleMessages(const ConsoleMessages&) = delete;
    ConsoleMessages& operator=(const ConsoleMessages&) = delete;

    TextOutHub& Hub() { return hub_; }
    // Prints the collected messages, or fallback when none was collected, one a line, then forgets them.
    // With fallbackFirst, fallback always comes first and the collected messages other than it follow.
    void PrintFailure(const std::string& fallback, bool fallbackFirst = false);

  private:
    TextOutHub hub_;
    std::shared_ptr<CCollectingTextOut> collector_;
};
