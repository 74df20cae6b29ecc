#pragma once

#include <filesystem>

#include "cli/file_kinds.h"
#include "model/data.h"
#include "textout/text_out_hub.h"

// The imports of earlier formats as inputs of the command line: the converted TQ-550 patches in the order
// the import commands produce them.
bool ReadEarlierLibraryFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                            const FileOptions& options);
bool ReadTq4BulkDump(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                     const FileOptions& options);
bool ReadTq2BulkDump(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                     const FileOptions& options);
