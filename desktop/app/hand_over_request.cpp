#include "app/hand_over_request.h"

#include <array>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr std::string_view kOpen = "OPEN ";

// The value of a Base64 character, or -1.
int Base64Value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

std::string EncodeBase64(std::string_view bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = bytes.size() - i < 3 ? bytes.size() - i : 3;
        std::uint32_t group = 0;
        for (std::size_t k = 0; k < 3; ++k)
            group = group << 8 | (k < count ? static_cast<std::uint8_t>(bytes[i + k]) : 0u);
        for (std::size_t k = 0; k < 4; ++k)
            text += k <= count ? kAlphabet[group >> (18 - 6 * k) & 0x3F] : '=';
    }
    return text;
}

bool DecodeBase64(std::string_view text, std::string& bytes) {
    bytes.clear();
    if (text.size() % 4 != 0) return false;
    for (std::size_t i = 0; i < text.size(); i += 4) {
        const bool last = i + 4 == text.size();
        std::array<int, 4> values{};
        std::size_t padding = 0;
        for (std::size_t k = 0; k < 4; ++k) {
            const char c = text[i + k];
            if (c == '=') {
                // Padding only at the end of the last group, at most two, nothing after it.
                if (!last || k < 2) return false;
                ++padding;
                values[k] = 0;
                continue;
            }
            if (padding > 0) return false;
            values[k] = Base64Value(c);
            if (values[k] < 0) return false;
        }
        const std::uint32_t group =
            static_cast<std::uint32_t>(values[0]) << 18 | static_cast<std::uint32_t>(values[1]) << 12 |
            static_cast<std::uint32_t>(values[2]) << 6 | static_cast<std::uint32_t>(values[3]);
        // The bits past the last byte are zero in what an encoder writes.
        if ((padding == 1 && (group & 0xFF) != 0) || (padding == 2 && (group & 0xFFFF) != 0)) return false;
        bytes += static_cast<char>(group >> 16 & 0xFF);
        if (padding < 2) bytes += static_cast<char>(group >> 8 & 0xFF);
        if (padding < 1) bytes += static_cast<char>(group & 0xFF);
    }
    return true;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<std::uint8_t>(text[i]);
        std::size_t length = 0;
        std::uint32_t code = 0;
        if (lead < 0x80) {
            ++i;
            continue;
        }
        if (lead >= 0xC2 && lead <= 0xDF) {
            length = 2;
            code = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            length = 3;
            code = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            length = 4;
            code = lead & 0x07;
        } else {
            return false;
        }
        if (text.size() - i < length) return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<std::uint8_t>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            code = code << 6 | (next & 0x3F);
        }
        if ((length == 3 && (code < 0x800 || (code >= 0xD800 && code <= 0xDFFF))) ||
            (length == 4 && (code < 0x10000 || code > 0x10FFFF)))
            return false;
        i += length;
    }
    return true;
}

bool IsAbsolutePath(std::string_view path) {
    if (!path.empty() && path[0] == '/') return true;
    if (path.size() >= 3 && path[0] == '\\' && path[1] == '\\' && path[2] != '\\') return true;
    const bool letter =
        path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return letter && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

std::string EncodeHandOverRequest(const HandOverRequest& request) {
    std::string bytes = request.activate ? "ACTIVATE\n" : "";
    for (const std::string& file : request.files)
        bytes += std::string(kOpen) + EncodeBase64(file) + '\n';
    return bytes + "END\n";
}

CHandOverParser::State CHandOverParser::Add(std::string_view bytes) {
    for (const char c : bytes) {
        if (state_ != State::Incomplete) {
            // Nothing may follow END.
            state_ = State::Invalid;
            return state_;
        }
        if (++received_ > kMaxRequestBytes) {
            state_ = State::Invalid;
            return state_;
        }
        if (c != '\n') {
            if (line_.size() + 1 >= kMaxLineBytes) {
                state_ = State::Invalid;
                return state_;
            }
            line_ += c;
            continue;
        }
        TakeLine(line_);
        line_.clear();
    }
    return state_;
}

void CHandOverParser::TakeLine(std::string_view line) {
    const bool first = !request_.activate && request_.files.empty();
    if (line == "END") {
        state_ = first ? State::Invalid : State::Complete;
        return;
    }
    if (line == "ACTIVATE" && first) {
        request_.activate = true;
        return;
    }
    std::string path;
    if (request_.activate || line.substr(0, kOpen.size()) != kOpen || request_.files.size() >= kMaxFiles ||
        !DecodeBase64(line.substr(kOpen.size()), path) || path.empty() || path.size() > kMaxPathBytes ||
        path.find('\0') != std::string::npos || !IsUtf8(path) || !IsAbsolutePath(path)) {
        state_ = State::Invalid;
        return;
    }
    request_.files.push_back(std::move(path));
}
