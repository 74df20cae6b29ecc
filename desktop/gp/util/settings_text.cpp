#include "gp/util/settings_text.h"

#include <charconv>
#include <cstdlib>

namespace GP {

std::string FormatIntegers(const std::vector<int>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i) text += ',';
        text += std::to_string(values[i]);
    }
    return text;
}

bool ParseIntegers(const std::string& text, std::size_t count, std::vector<int>& values) {
    values.clear();
    const char* p = text.data();
    const char* const end = p + text.size();
    while (true) {
        while (p < end && *p == ' ')
            ++p;
        int value = 0;
        const auto [next, ec] = std::from_chars(p, end, value);
        if (ec != std::errc()) return false;
        values.push_back(value);
        p = next;
        while (p < end && *p == ' ')
            ++p;
        if (p == end) break;
        if (*p != ',') return false;
        ++p;
    }
    return values.size() == count;
}

bool IsReasonableRect(const QRect& rect) {
    const auto within = [](long long v) { return std::llabs(v) <= 32767; };
    return rect.width() > 0 && rect.height() > 0 && within(rect.left()) && within(rect.top()) &&
           within(static_cast<long long>(rect.left()) + rect.width()) &&
           within(static_cast<long long>(rect.top()) + rect.height());
}

}  // namespace GP
