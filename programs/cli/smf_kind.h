#pragma once

#include <filesystem>
#include <vector>

#include "cli/file_kinds.h"
#include "model/data.h"
#include "textout/text_out_hub.h"

// Standard MIDI Files of TQ-550 data sets as an input and an output of the command line.

// 200 patches in their initial state, then the file's data sets of the options' device id applied as the
// Main window's import does.
bool ReadSmfFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                 const FileOptions& options);
// The selected patches, each as the user patch whose number is its index, as Export SMF writes them, in
// data sets of the options' device id. The file is replaced only when it was written completely.
bool WriteSmfFile(const CPatchArray& patches, const std::vector<int>& selection,
                  const std::filesystem::path& path, TextOutHub& messages, const FileOptions& options);
