#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "model/data.h"
#include "textout/text_out_hub.h"

// One kept read of the device: a library file in the history folder named by the local date and time of
// the read, "2026-12-08 13-45-07.tql", and " (2)", " (3)", ... before the extension for more reads in the
// same second.
struct HistoryEntry {
    std::filesystem::path path;
    std::chrono::system_clock::time_point time;  // the date and time of the name, as local time
    int sequence = 1;                            // 1, or the number in brackets
    // When the file was last written, as Entries() found it (unset from EntryFor). The clock may have been
    // set back between two reads, so the name alone does not order them.
    std::filesystem::file_time_type written{};

    bool operator==(const HistoryEntry&) const = default;
};

// What Keep did.
enum class HistoryKeep {
    Kept,          // a new entry was written
    SameAsNewest,  // the patches equal those of the newest entry: nothing was written
    NotKept,       // the count is 0: nothing is kept (and every entry was removed)
    Failed,        // the entry could not be written (folder not made, read-only, disk full)
};

// The device's history: the patches of every complete read of all user patches, kept as library files in a
// folder of their own (the desktop program's is "History" in its data folder), written atomically, the
// newest Count() of them kept. Files in the folder that are not named as entries are never touched.
//
// Nothing here throws: a failure is answered by HistoryKeep::Failed (or false), and Keep reports
// "The data read from the TQ-550 could not be kept in the device history." to the buffering sink of the hub
// (when one was given). LastError() names the file or folder that failed and why.
class CDeviceHistory {
  public:
    static constexpr int kDefaultCount = 100;

    explicit CDeviceHistory(std::filesystem::path folder, int count = kDefaultCount,
                            const TextOutHub* messages = nullptr);

    const std::filesystem::path& Folder() const { return folder_; }
    // How many entries are kept; 0 keeps none. Negative counts are taken as 0.
    void SetCount(int count) { count_ = count < 0 ? 0 : count; }
    int Count() const { return count_; }

    // Keeps patches, read at now, as a new entry unless they equal the newest entry's (the data of every
    // patch and its memos, and the number of patches), then removes the entries beyond the count, never the
    // one just written. The folder is made when missing. kept, when given, receives the new entry's path
    // (Kept only).
    HistoryKeep Keep(const CPatchArray& patches, std::chrono::system_clock::time_point now,
                     std::filesystem::path* kept = nullptr);
    // The entries, newest first: the last written first, then by the date, time and number of their names.
    // None when the folder is missing or cannot be read.
    std::vector<HistoryEntry> Entries() const;
    // Removes the entries beyond the newest Count(); false when one could not be removed.
    bool Trim();

    const std::string& LastError() const { return lastError_; }

    // The file name of an entry, and the entry a file name stands for (none for other names).
    static std::string FileNameFor(std::chrono::system_clock::time_point time, int sequence = 1);
    static std::optional<HistoryEntry> EntryFor(const std::filesystem::path& path);

  private:
    HistoryKeep KeepEntry(const CPatchArray& patches, std::chrono::system_clock::time_point now,
                          std::filesystem::path& kept);
    bool SameAsNewest(const CPatchArray& patches, const std::vector<HistoryEntry>& entries) const;
    // Removes entries beyond the count, never the one at keep.
    static void MakeNewest(std::vector<HistoryEntry>& entries, const std::filesystem::path& written);
    bool RemoveBeyondCount(const std::vector<HistoryEntry>& entries, const std::filesystem::path& keep = {});

    std::filesystem::path folder_;
    int count_;
    const TextOutHub* messages_;
    std::string lastError_;
};
