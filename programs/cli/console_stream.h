#pragma once

#include <cstdio>
#include <string_view>

// Text of the command line on standard output and standard error. Text is UTF-8; in a Windows console it
// is written with the console's wide-character call, so that it shows whatever the console's code page,
// and everywhere else as the bytes it is.

// Whether stream is an interactive terminal (on Windows: a console, which a redirection to NUL is not).
bool IsConsole(std::FILE* stream);
// Writes text and flushes; false when it could not be written.
bool WriteText(std::FILE* stream, std::string_view text);
