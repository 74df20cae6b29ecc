#include "cli/console_text_out.h"

#include <memory>

#include "cli/console_stream.h"

int CConsoleTextOut::Ask(int, const std::string& text, int) {
    Output(text.empty() || text.back() == '\n' ? text : text + "\n");
    return ANSWER_CANCEL;
}

void CConsoleTextOut::Output(const std::string& text) {
    WriteText(stderr, text);
}

ConsoleMessages::ConsoleMessages() : collector_(std::make_shared<CCollectingTextOut>()) {
    hub_.SetTextOut(TextOutHub::kMessageBoxSlot, std::make_shared<CConsoleTextOut>());
    hub_.SetTextOut(TextOutHub::kBufferSlot, collector_);
}

void ConsoleMessages::PrintFailure(const std::string& fallback, bool fallbackFirst) {
    std::vector<std::string> lines = collector_->Messages();
    if (fallbackFirst) {
        std::erase_if(lines,
                      [&](const std::string& line) { return line == fallback || line == fallback + "\n"; });
        lines.insert(lines.begin(), fallback);
    }
    if (lines.empty()) lines.push_back(fallback);
    for (std::string line : lines) {
        if (line.empty()) continue;
        if (line.back() != '\n') line += '\n';
        WriteText(stderr, line);
    }
    collector_->Clear();
}
