#pragma once

#include <filesystem>

// The folder of the running program, or an empty path when it cannot be found.
std::filesystem::path ProgramFolder();
// A data file looked up beside the program first, then in the installed data folder; empty when absent.
std::filesystem::path FindDataFile(const std::filesystem::path& relative);
