#pragma once

#include <string>

#include "device/progress_bar.h"

// Draws the progress of a transfer as one line on standard error (when it is a terminal) and treats Ctrl+C
// as Cancel: the first Ctrl+C asks the transfer to stop at its next step, a second one ends the program.
class CConsoleProgressBar : public CKivProgressBar {
  public:
    CConsoleProgressBar();
    ~CConsoleProgressBar() override;
    CConsoleProgressBar(const CConsoleProgressBar&) = delete;
    CConsoleProgressBar& operator=(const CConsoleProgressBar&) = delete;

    void Begin(int range, const std::string& caption, bool cancellable) override;
    void End() override;
    void SetPosition(int position) override;
    void SetCaption(const std::string& caption) override;
    bool IsCancelled() override;
    void SetRange(int range) override;

    // Whether Ctrl+C has been pressed since the program started.
    static bool Interrupted();

  private:
    void Draw();

    int nesting_ = 0;
    bool terminal_ = false;
    std::size_t drawnWidth_ = 0;
};
