#pragma once

#include <string>

// A text sink: code that has something to tell the user writes it here. Every line gets the prefix.
class CKivTextOut {
  public:
    virtual ~CKivTextOut() = default;

    // Prefixes every line of text and hands the result to Output.
    virtual void Write(const std::string& text);
    // Formats like printf; the result is cut at 511 bytes.
    virtual void Printf(const char* format, ...);
    // Grows the prefix by delta blanks, or cuts -delta characters from its end (never below empty).
    virtual void Indent(int delta);
    // Asks a question: buttons 1 = OK/Cancel, 2 = Yes/No, 3 = Yes/No/Cancel, other = OK; icon 0 = question,
    // 2 = stop, other = exclamation. Answers 0 = OK, 1 = Cancel (or closed), 2 = Yes, 3 = No. The base
    // class cannot ask and answers 0.
    virtual int Ask(int buttons, const std::string& text, int icon);

    const std::string& Prefix() const { return prefix_; }

  protected:
    virtual void Output(const std::string& text);

  private:
    std::string prefix_;
    bool atLineStart_ = true;
};

// Button sets and answers of CKivTextOut::Ask.
enum AskButtons : int { ASK_OK = 0, ASK_OK_CANCEL = 1, ASK_YES_NO = 2, ASK_YES_NO_CANCEL = 3 };
enum AskIcon : int { ICON_QUESTION = 0, ICON_EXCLAMATION = 1, ICON_STOP = 2 };
enum AskAnswer : int { ANSWER_OK = 0, ANSWER_CANCEL = 1, ANSWER_YES = 2, ANSWER_NO = 3 };

// Holds the last text written to it until it is flushed to another sink.
class CKivTextOutBuffer : public CKivTextOut {
  public:
    int Ask(int buttons, const std::string& text, int icon) override;
    // Writes the buffer to sink when one is given and the buffer is not empty; then empties the buffer.
    void FlushTo(CKivTextOut* sink);
    const std::string& Buffer() const { return buffer_; }

  protected:
    void Output(const std::string& text) override;

  private:
    std::string buffer_;
};
