#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "model/data.h"
#include "textout/text_out_hub.h"

// What the options of a command say about the files besides their names.
struct FileOptions {
    // The device id (0-31) of the data sets taken from and written to Standard MIDI Files and SysEx files
    // of TQ-550 data, and whether --device-id gave it (a SysEx file is read for every id without it).
    std::uint8_t deviceId = 0;
    bool deviceIdGiven = false;
};

// How `tq550` reads one input format into a patch list; new patches start from the list's initial data.
// Failures are reported to messages.
struct InputKind {
    const char* name;
    bool (*read)(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                 const FileOptions& options);
};

// How `tq550` writes the selected patches (positions in `patches`, in the order given) to one output format.
struct OutputKind {
    const char* name;
    const char* extension;  // chooses this kind when --to is not given
    int indexLimit;         // indexes must be below it; 0 when any existing index is allowed
    bool (*write)(const CPatchArray& patches, const std::vector<int>& selection,
                  const std::filesystem::path& path, TextOutHub& messages, const FileOptions& options);
};

// Every input kind name the command line knows, built or not.
bool IsInputKindName(const std::string& name);
// Whether the kind is an import of earlier data, whose failure shows "This file could not be loaded."
// before any more specific message.
bool IsImportKind(const std::string& name);
// The input kind of that name, or nullptr when it cannot be read (yet).
const InputKind* FindInputKind(const std::string& name);
const OutputKind* FindOutputKind(const std::string& name);
const OutputKind* FindOutputKindByExtension(const std::filesystem::path& path);
