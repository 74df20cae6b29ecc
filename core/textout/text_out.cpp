#include "textout/text_out.h"

#include <cstdarg>
#include <cstdio>

void CKivTextOut::Write(const std::string& text) {
    std::string result;
    result.reserve((prefix_.size() + 1) * text.size());
    for (char c : text) {
        if (atLineStart_) result += prefix_;
        result += c;
        atLineStart_ = c == '\n';
    }
    Output(result);
}

void CKivTextOut::Printf(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    const int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written < 0) return;
    Write(buffer);
}

void CKivTextOut::Indent(int delta) {
    const long length = static_cast<long>(prefix_.size()) + delta;
    prefix_.resize(length > 0 ? static_cast<std::size_t>(length) : 0, ' ');
}

int CKivTextOut::Ask(int, const std::string&, int) {
    return ANSWER_OK;
}

void CKivTextOut::Output(const std::string&) {}

int CKivTextOutBuffer::Ask(int, const std::string&, int) {
    return ANSWER_OK;
}

void CKivTextOutBuffer::Output(const std::string& text) {
    buffer_ = text;
}

void CKivTextOutBuffer::FlushTo(CKivTextOut* sink) {
    if (sink && !buffer_.empty()) sink->Write(buffer_);
    buffer_.clear();
}
