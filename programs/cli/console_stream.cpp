#include "cli/console_stream.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>

#include "platform/utf8_path.h"
#else
#include <unistd.h>
#endif

#ifdef _WIN32
namespace {
HANDLE ConsoleOf(std::FILE* stream) {
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
    DWORD mode = 0;
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) ? handle : nullptr;
}
}  // namespace
#endif

bool IsConsole(std::FILE* stream) {
#ifdef _WIN32
    return ConsoleOf(stream) != nullptr;
#else
    return ::isatty(::fileno(stream)) != 0;
#endif
}

bool WriteText(std::FILE* stream, std::string_view text) {
#ifdef _WIN32
    if (const HANDLE console = ConsoleOf(stream)) {
        std::fflush(stream);
        const std::wstring wide = WideFromUtf8(text);
        DWORD written = 0;
        return ::WriteConsoleW(console, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
    }
#endif
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() && std::fflush(stream) == 0;
}
