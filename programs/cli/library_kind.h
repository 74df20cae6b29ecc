#pragma once

#include <filesystem>
#include <vector>

#include "cli/file_kinds.h"
#include "model/data.h"
#include "textout/text_out_hub.h"

// Library files (.tql) as an input and an output of the command line.
bool ReadLibraryFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                     const FileOptions& options);
bool WriteLibraryFile(const CPatchArray& patches, const std::vector<int>& selection,
                      const std::filesystem::path& path, TextOutHub& messages, const FileOptions& options);
