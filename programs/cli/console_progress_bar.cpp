#include "cli/console_progress_bar.h"

#include <algorithm>
#include <csignal>
#include <cstdio>

#include <unistd.h>

#include "model/parameter_address.h"

namespace {
volatile std::sig_atomic_t interrupted = 0;

extern "C" void OnInterrupt(int) {
    interrupted = 1;
    // A second Ctrl+C ends the program the usual way.
    std::signal(SIGINT, SIG_DFL);
}
}  // namespace

CConsoleProgressBar::CConsoleProgressBar() : terminal_(::isatty(fileno(stderr)) != 0) {
    std::signal(SIGINT, OnInterrupt);
}

CConsoleProgressBar::~CConsoleProgressBar() {
    std::signal(SIGINT, SIG_DFL);
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
    if (terminal_ && drawnWidth_ > 0) std::fputc('\n', stderr);
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
    std::fputs(line.c_str(), stderr);
    std::fflush(stderr);
}
