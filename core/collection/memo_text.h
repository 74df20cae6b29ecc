#pragma once

#include <string>
#include <string_view>

// Memo bytes as text, and text as the search compares it.
//
// Memos are byte strings: UTF-8 when the bytes are valid UTF-8, otherwise in a legacy code page, Shift_JIS
// (Windows code page 932) for Japanese text and Windows-1252 for other text, as the desktop program shows
// them.

enum class LegacyCodePage { Windows1252, ShiftJis };

bool IsValidUtf8(std::string_view bytes);
// The Shift_JIS (code page 932) bytes as UTF-8; false when a byte or pair is not a character there.
bool ShiftJisToUtf8(std::string_view bytes, std::string& text);
std::string Windows1252ToUtf8(std::string_view bytes);
// The memo as UTF-8 text: its bytes when they are valid UTF-8, else read in the legacy code page (Shift_JIS
// bytes that are not valid are read as Windows-1252).
std::string MemoToUtf8(std::string_view bytes, LegacyCodePage legacy);

// UTF-8 text folded for a search that ignores case and width: full-width ASCII (U+FF01 to U+FF5E) becomes
// ASCII, the capitals of ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic become small letters, and
// control characters become blanks.
// Malformed UTF-8 is taken byte by byte, as Windows-1252.
std::string FoldForSearch(std::string_view text);
// The text a search looks in for bytes of a name, memo or tag: the folded UTF-8 text when the bytes are
// valid UTF-8; otherwise both legacy readings (Shift_JIS when the bytes are valid Shift_JIS, and
// Windows-1252), separated by a line break, so that a search finds the text in either.
std::string SearchTextOfBytes(std::string_view bytes);
// The same, appended to text.
void AppendSearchText(std::string& text, std::string_view bytes);
