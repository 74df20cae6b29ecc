#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "exchange/file_kind.h"
#include "model/data.h"
#include "textout/text_out_hub.h"
#include "transfer/syx_reader.h"

// What the caller says about a file besides its name.
struct PatchFileOptions {
    // The device id (0-31) of the data sets taken from and written to Standard MIDI Files and SysEx files,
    // and whether it was chosen: without a choice a SysEx file is read for every id, the others for id 0.
    std::uint8_t deviceId = 0;
    bool deviceIdGiven = false;
    // The device id (0-31) of the data sets taken from a TQ-4/TQ-MAX bulk dump.
    std::uint8_t earlierDeviceId = 0;
    // smf: the data sets are applied onto the patches given (the Main window's import, which leaves the
    // patches the file does not reach as they are) instead of onto 200 patches in their initial state.
    bool applyOntoPatches = false;
};

// One patch that a file's data carry: its position in the list the read gives and, for the kinds that
// address the processor's slots (smf, syx), the slot.
struct CarriedPatch {
    std::size_t position = 0;
    std::optional<PatchSlot> slot;

    bool operator==(const CarriedPatch&) const = default;
};

// Reads the file as its kind into patches, replacing them, as the desktop program reads it: a library's
// patches in file order; the converted patches of an import in the order the import commands produce
// them; for smf the 200 user patches in their initial state with the file's data sets applied; for syx
// the patches its data sets touch, in slot order. New patches start from the list's initial data. A
// failure is reported to the buffering sink of messages and answered by false.
//
// carried, when given, receives the patches the file's data carry: every patch, but for smf only the user
// patches its data sets touched.
bool ReadPatchFile(FileKind kind, const std::filesystem::path& path, CPatchArray& patches,
                   TextOutHub& messages, const PatchFileOptions& options = {},
                   std::vector<CarriedPatch>* carried = nullptr);

// Writes the selected patches (positions in patches, in the order given) as kind, which must be writable:
// a library file; or each patch as the user patch whose number is its index, in a Standard MIDI File as
// Export SMF writes it or in a SysEx file of the same data sets. The file is replaced only when it was
// written completely; a failure is reported to messages and answered by false.
bool WritePatchFile(FileKind kind, const CPatchArray& patches, std::span<const int> selection,
                    const std::filesystem::path& path, TextOutHub& messages,
                    const PatchFileOptions& options = {});
