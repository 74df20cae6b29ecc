#include "platform/utf8_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

#ifdef _WIN32

std::wstring WideFromUtf8(std::string_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int count = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(count), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), count);
    return wide;
}

std::string Utf8FromWide(std::wstring_view text) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int count = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(count), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), count, nullptr, nullptr);
    return utf8;
}

std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(WideFromUtf8(text));
}

std::string PathToUtf8(const std::filesystem::path& path) {
    return Utf8FromWide(path.native());
}

#else

std::filesystem::path PathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::string(text));
}

std::string PathToUtf8(const std::filesystem::path& path) {
    return path.native();
}

#endif
