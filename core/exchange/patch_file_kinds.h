#pragma once

#include <filesystem>
#include <span>
#include <vector>

#include "exchange/patch_file.h"

// The readers and writers of each kind behind ReadPatchFile and WritePatchFile.

bool ReadLibraryFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages);
bool WriteLibraryFile(const CPatchArray& patches, std::span<const int> selection,
                      const std::filesystem::path& path, TextOutHub& messages);

bool ReadEarlierLibraryFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages);
bool ReadTq4BulkDump(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                     std::uint8_t deviceId);
bool ReadTq2BulkDump(const std::filesystem::path& path, CPatchArray& patches);

// 200 patches in their initial state (or the patches given, made 200, when the options say so), then the
// file's data sets of the options' device id applied as the Main window's import does; touched receives the
// user patch numbers the data sets reached, ascending.
bool ReadSmfFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                 const PatchFileOptions& options, std::vector<int>& touched);
bool WriteSmfFile(const CPatchArray& patches, std::span<const int> selection,
                  const std::filesystem::path& path, TextOutHub& messages, const PatchFileOptions& options);

// The user patches the file's TQ-550 data sets touch, in slot order, then the temporary patch; slots
// receives the slot of each.
bool ReadSyxFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                 const PatchFileOptions& options, std::vector<PatchSlot>& slots);
bool WriteSyxFile(const CPatchArray& patches, std::span<const int> selection,
                  const std::filesystem::path& path, TextOutHub& messages, const PatchFileOptions& options);
