#pragma once

#include <filesystem>
#include <vector>

#include "model/data.h"
#include "textout/text_out_hub.h"

// Library files (.tql) as an input and an output of the command line.
bool ReadLibraryFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages);
bool WriteLibraryFile(const CPatchArray& patches, const std::vector<int>& selection,
                      const std::filesystem::path& path, TextOutHub& messages);
