#pragma once

#include <string>

#include "device/progress_sink.h"

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
    // The line names the patch in English: "User Patch U01-2", "Temporary Patch".
    void SetPatch(int area, int number) override;
    bool IsCancelled() override;
    void SetRange(int range) override;

    // Whether Ctrl+C has been pressed since the program started.
    static bool Interrupted();

  private:
    void Draw();

    int nesting_ = 0;
    bool terminal_ = false;
    std::size_t drawnWidth_ = 0;
    std::string caption_;
};
