#pragma once

#include <string>
#include <vector>

// The words of the command line after the program's name, as UTF-8 text. On Windows main's argv holds them
// in the ANSI code page, where letters outside it are lost; they are taken from the wide command line
// instead. Elsewhere they are argv's bytes.
std::vector<std::string> ProgramArguments(int argc, char** argv);
