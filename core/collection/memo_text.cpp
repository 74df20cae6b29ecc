#include "collection/memo_text.h"

#include <algorithm>
#include <cstdint>

#include "collection/tables/cp932_table.h"

namespace {
// Windows-1252 bytes 80 to 9F; the five unused ones keep their C1 control code.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

char32_t Windows1252Char(std::uint8_t byte) {
    return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
}

// Decodes one UTF-8 character at text[i]; its length in length, 0 when malformed.
char32_t DecodeUtf8(std::string_view text, std::size_t i, std::size_t& length) {
    const auto byte = [&](std::size_t k) { return static_cast<std::uint8_t>(text[k]); };
    const std::uint8_t first = byte(i);
    length = 0;
    if (first < 0x80) {
        length = 1;
        return first;
    }
    std::size_t count = 0;
    char32_t c = 0;
    char32_t least = 0;
    if ((first & 0xE0) == 0xC0) {
        count = 2, c = first & 0x1F, least = 0x80;
    } else if ((first & 0xF0) == 0xE0) {
        count = 3, c = first & 0x0F, least = 0x800;
    } else if ((first & 0xF8) == 0xF0) {
        count = 4, c = first & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (i + count > text.size()) return 0;
    for (std::size_t k = 1; k < count; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    length = count;
    return c;
}

char32_t FoldChar(char32_t c) {
    if (c < 0x20) return ' ';  // control characters (and zero bytes) are searched as blanks
    if (c >= 0xFF01 && c <= 0xFF5E) c = c - 0xFF01 + 0x21;  // full-width ASCII
    if (c >= 'A' && c <= 'Z') return c + 0x20;
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;  // Latin-1
    if (c == 0x178) return 0xFF;
    if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x138 && c != 0x149) {  // Latin Extended-A
        const bool oddPairs = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        if (oddPairs ? (c % 2 == 1) : (c % 2 == 0)) return c + 1;
        return c;
    }
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return c + 0x20;  // Greek
    if (c >= 0x410 && c <= 0x42F) return c + 0x20;                // Cyrillic
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    return c;
}
}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        std::size_t length = 0;
        DecodeUtf8(bytes, i, length);
        if (length == 0) return false;
        i += length;
    }
    return true;
}

bool ShiftJisToUtf8(std::string_view bytes, std::string& text) {
    text.clear();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<std::uint8_t>(bytes[i]);
        if (byte < 0x80) {
            text += static_cast<char>(byte);
        } else if (byte >= 0xA1 && byte <= 0xDF) {
            AppendUtf8(text, 0xFF61 + (byte - 0xA1));  // half-width katakana
        } else {
            const int row = cp932::LeadRow(byte);
            if (row < 0 || i + 1 >= bytes.size()) return false;
            const int trail = static_cast<std::uint8_t>(bytes[i + 1]) - cp932::kTrailFirst;
            if (trail < 0 || trail >= cp932::kTrailCount) return false;
            const char16_t c = cp932::kDoubleByte[row][trail];
            if (c == 0) return false;
            AppendUtf8(text, c);
            ++i;
        }
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (char byte : bytes)
        AppendUtf8(text, Windows1252Char(static_cast<std::uint8_t>(byte)));
    return text;
}

std::string MemoToUtf8(std::string_view bytes, LegacyCodePage legacy) {
    if (IsValidUtf8(bytes)) return std::string(bytes);
    std::string text;
    if (legacy == LegacyCodePage::ShiftJis && ShiftJisToUtf8(bytes, text)) return text;
    return Windows1252ToUtf8(bytes);
}

namespace {
void AppendFolded(std::string& folded, std::string_view text) {
    if (std::all_of(text.begin(), text.end(), [](char c) { return static_cast<std::uint8_t>(c) < 0x80; })) {
        const std::size_t start = folded.size();
        folded.resize(start + text.size());
        std::transform(
            text.begin(), text.end(), folded.begin() + static_cast<std::ptrdiff_t>(start), [](char c) {
                return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c >= 0 && c < 0x20 ? ' ' : c;
            });
        return;
    }
    for (std::size_t i = 0; i < text.size();) {
        std::size_t length = 0;
        char32_t c = DecodeUtf8(text, i, length);
        if (length == 0) {
            c = Windows1252Char(static_cast<std::uint8_t>(text[i]));
            length = 1;
        }
        AppendUtf8(folded, FoldChar(c));
        i += length;
    }
}
}  // namespace

std::string FoldForSearch(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    AppendFolded(folded, text);
    return folded;
}

void AppendSearchText(std::string& text, std::string_view bytes) {
    if (IsValidUtf8(bytes)) {
        AppendFolded(text, bytes);
        return;
    }
    std::string decoded;
    if (ShiftJisToUtf8(bytes, decoded)) {
        AppendFolded(text, decoded);
        text += '\n';
    }
    AppendFolded(text, Windows1252ToUtf8(bytes));
}

std::string SearchTextOfBytes(std::string_view bytes) {
    std::string text;
    AppendSearchText(text, bytes);
    return text;
}
