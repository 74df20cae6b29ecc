#pragma once

#include <filesystem>
#include <vector>

#include "cli/file_kinds.h"
#include "model/data.h"
#include "textout/text_out_hub.h"

// Files of raw System Exclusive messages (.syx) as an input and an output of the command line.

// The user patches the file's TQ-550 data sets touch, in slot order, then the temporary patch; of every
// device id, or of the options' id when --device-id was given.
bool ReadSyxFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                 const FileOptions& options);
// The selected patches, each as the user patch whose number is its index: the data sets an SMF export of
// the same selection holds, in data sets of the options' device id. The file is replaced only when it was
// written completely.
bool WriteSyxFile(const CPatchArray& patches, const std::vector<int>& selection,
                  const std::filesystem::path& path, TextOutHub& messages, const FileOptions& options);
