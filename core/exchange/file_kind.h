#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string_view>

// The kinds of file the programs read patches from and write patches to.
enum class FileKind {
    Library,         // tql: a library file
    EarlierLibrary,  // tqx: an earlier librarian file, TQ-MAX or TQ-4 layout
    Tq4Dump,         // tq4-dump: a TQ-4/TQ-MAX bulk dump, a Standard MIDI File
    Tq2Dump,         // tq2-dump: a TQ-2 bulk dump, a Standard MIDI File
    Smf,             // smf: a Standard MIDI File of TQ-550 data sets
    Syx,             // syx: a file of raw System Exclusive messages
};

inline constexpr FileKind kFileKinds[] = {FileKind::Library, FileKind::EarlierLibrary,
                                          FileKind::Tq4Dump, FileKind::Tq2Dump,
                                          FileKind::Smf,     FileKind::Syx};

// The kind's name on the command line ("tql", "tqx", "tq4-dump", "tq2-dump", "smf", "syx").
const char* FileKindName(FileKind kind);
std::optional<FileKind> FileKindFromName(std::string_view name);
// Whether reading the kind is an import of earlier or foreign data, whose failure shows "This file could not
// be loaded." before any more specific message.
bool IsImportKind(FileKind kind);
// Whether the kind holds TQ-550 data sets, whose device id matters.
bool HoldsDataSets(FileKind kind);

// Writing: the kinds that can be written (tql, smf, syx), the one an output file's extension names
// (.tql, .mid, .syx; any case), and the limit below which the indexes written must lie (0: none).
bool IsWritableKind(FileKind kind);
std::optional<FileKind> WritableKindFromExtension(const std::filesystem::path& path);
int WriteIndexLimit(FileKind kind);

// Recognition of a file to read. By content: the magic of library files and earlier librarian files, a
// Standard MIDI File (a TQ-4 or TQ-2 dump when its System Exclusive events are mostly data sets of that
// model, else smf) and a file that starts with a System Exclusive message (syx); none for anything else.
std::optional<FileKind> RecognizeContent(std::span<const std::uint8_t> bytes);
// By extension, any case: .tql, .tqx, .syx, and .mid, .midi or .smf for smf.
std::optional<FileKind> RecognizeExtension(const std::filesystem::path& path);
// Content first, then the extension; none when neither names a kind or the file cannot be opened (a file
// that cannot be opened but whose extension names a kind is of that kind, and fails to read).
std::optional<FileKind> RecognizeFile(const std::filesystem::path& path);
