#include "platform/program_arguments.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "platform/utf8_path.h"
#endif

std::vector<std::string> ProgramArguments(int argc, char** argv) {
#ifdef _WIN32
    int count = 0;
    if (LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count)) {
        std::vector<std::string> result;
        for (int i = 1; i < count; ++i)
            result.push_back(Utf8FromWide(words[i]));
        ::LocalFree(words);
        return result;
    }
#endif
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}
