#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// File names are UTF-8 text inside the programs. On Windows a path holds UTF-16, and the narrow-text
// constructor of std::filesystem::path would read the bytes in the ANSI code page; these convert
// explicitly. Elsewhere a file name is bytes, taken and given as they are (also when they are not UTF-8).
std::filesystem::path PathFromUtf8(std::string_view text);
std::string PathToUtf8(const std::filesystem::path& path);

#ifdef _WIN32
// UTF-8 and UTF-16 for the wide-character calls of Windows; malformed UTF-8 becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);
#endif
