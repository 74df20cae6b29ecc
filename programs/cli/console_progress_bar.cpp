#include "cli/console_progress_bar.h"

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#endif

#include "cli/console_stream.h"

#include "model/parameter_address.h"

namespace {
#ifdef _WIN32

// Windows tells a console program of Ctrl+C and Ctrl+Break by calling this on a thread of its own.
std::atomic<bool> interrupted{false};

BOOL WINAPI OnConsoleEvent(DWORD event) {
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) return FALSE;
    // A second Ctrl+C goes on to the default handler, which ends the program.
    return interrupted.exchange(true) ? FALSE : TRUE;
}

void CatchInterrupt() {
    ::SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

void ReleaseInterrupt() {
    ::SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
}

#else

volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
    // A second Ctrl+C ends the program the usual way.
    std::signal(SIGINT, SIG_DFL);
}

void CatchInterrupt() {
    std::signal(SIGINT, OnInterrupt);
}

void ReleaseInterrupt() {
    std::signal(SIGINT, SIG_DFL);
}

#endif
}  // namespace

CConsoleProgressBar::CConsoleProgressBar() : terminal_(IsConsole(stderr)) {
    CatchInterrupt();
}

CConsoleProgressBar::~CConsoleProgressBar() {
    ReleaseInterrupt();
}

bool CConsoleProgressBar::Interrupted() {
    return interrupted != 0;
}

void CConsoleProgressBar::Begin(int range, const std::string& caption, bool cancellable) {
    if (nesting_++ > 0) return;
    cancellable_ = cancellable;
    caption_ = caption;
    range_ = range;
    position_ = 0;
    Draw();
}

void CConsoleProgressBar::End() {
    if (nesting_ == 0 || --nesting_ > 0) return;
    if (terminal_ && drawnWidth_ > 0) WriteText(stderr, "\n");
    drawnWidth_ = 0;
}

void CConsoleProgressBar::SetPosition(int position) {
    if (nesting_ != 1) return;
    position_ = position;
    Draw();
}

void CConsoleProgressBar::SetPatch(int area, int number) {
    if (nesting_ != 1) return;
    const std::string caption = CParameterAddress().GetSlotName(area, number);
    if (caption == caption_) return;
    caption_ = caption;
    Draw();
}

void CConsoleProgressBar::SetRange(int range) {
    range_ = range;
}

bool CConsoleProgressBar::IsCancelled() {
    return cancellable_ && Interrupted();
}

void CConsoleProgressBar::Draw() {
    if (!terminal_) return;
    constexpr int kBarWidth = 30;
    const int filled = range_ > 0 ? std::min(kBarWidth, position_ * kBarWidth / range_) : 0;
    std::string line = "\r[" + std::string(static_cast<std::size_t>(filled), '#') +
                       std::string(static_cast<std::size_t>(kBarWidth - filled), ' ') + "] " +
                       std::to_string(position_) + "/" + std::to_string(range_) + " " + caption_;
    const std::size_t width = line.size();
    if (width < drawnWidth_) line += std::string(drawnWidth_ - width, ' ');
    drawnWidth_ = width;
    WriteText(stderr, line);
}
