#pragma once

#include <filesystem>
#include <vector>

#include "model/data.h"

// Library files (.tql) as an input and an output of the command line.
bool ReadLibraryFile(const std::filesystem::path& path, CPatchArray& patches);
bool WriteLibraryFile(const CPatchArray& patches, const std::vector<int>& selection,
                      const std::filesystem::path& path);
