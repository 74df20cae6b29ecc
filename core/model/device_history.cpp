#include "model/device_history.h"

#include <algorithm>
#include <cctype>
#include <ctime>
#include <exception>
#include <system_error>

#include "model/file_document.h"
#include "model/patch_compare.h"
#include "textout/message_catalog.h"

namespace fs = std::filesystem;

namespace {

constexpr char kExtension[] = ".tql";
// "2026-12-08 13-45-07": the fixed-width date and time at the start of every entry's name.
constexpr std::size_t kStampLength = 19;
constexpr char kStampPattern[] = "dddd-dd-dd dd-dd-dd";
constexpr int kMostInOneSecond = 9999;

bool SamePatches(const CPatchArray& a, const CPatchArray& b) {
    if (a.GetSize() != b.GetSize()) return false;
    for (std::size_t i = 0; i < a.GetSize(); ++i)
        if (!ComparePatches(a[i], b[i]).Identical()) return false;
    return true;
}

int Number(const std::string& text, std::size_t at, std::size_t length) {
    return std::stoi(text.substr(at, length));
}

// The date and time part of an entry's file name, which orders entries as their reads.
std::string StampOf(const HistoryEntry& entry) {
    return entry.path.filename().string().substr(0, kStampLength);
}

bool NewerFirst(const HistoryEntry& a, const HistoryEntry& b) {
    if (a.written != b.written) return a.written > b.written;
    const std::string stampA = StampOf(a);
    const std::string stampB = StampOf(b);
    if (stampA != stampB) return stampA > stampB;
    return a.sequence > b.sequence;
}

}  // namespace

CDeviceHistory::CDeviceHistory(fs::path folder, int count, const TextOutHub* messages)
    : folder_(std::move(folder)), count_(count < 0 ? 0 : count), messages_(messages) {}

std::string CDeviceHistory::FileNameFor(std::chrono::system_clock::time_point time, int sequence) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    // A transfer job keeps its read from a worker thread: the local time goes into a result of its own.
    std::tm local{};
#ifdef _WIN32
    const bool converted = localtime_s(&local, &seconds) == 0;
#else
    const bool converted = localtime_r(&seconds, &local) != nullptr;
#endif
    char stamp[32] = "1970-01-01 00-00-00";
    if (converted) std::strftime(stamp, sizeof stamp, "%Y-%m-%d %H-%M-%S", &local);
    std::string name = stamp;
    if (sequence > 1) name += " (" + std::to_string(sequence) + ")";
    return name + kExtension;
}

std::optional<HistoryEntry> CDeviceHistory::EntryFor(const fs::path& path) {
    const std::string name = path.filename().string();
    const std::size_t extension = sizeof kExtension - 1;
    if (name.size() < kStampLength + extension ||
        name.compare(name.size() - extension, extension, kExtension) != 0)
        return std::nullopt;
    const std::string stem = name.substr(0, name.size() - extension);
    for (std::size_t i = 0; i < kStampLength; ++i) {
        const bool digit = std::isdigit(static_cast<unsigned char>(stem[i])) != 0;
        if (kStampPattern[i] == 'd' ? !digit : stem[i] != kStampPattern[i]) return std::nullopt;
    }
    int sequence = 1;
    const std::string rest = stem.substr(kStampLength);
    if (!rest.empty()) {
        // " (N)", N from 2 on, without leading zeros.
        if (rest.size() < 4 || rest.size() > 8 || rest.compare(0, 2, " (") != 0 || rest.back() != ')' ||
            rest[2] == '0')
            return std::nullopt;
        const std::string digits = rest.substr(2, rest.size() - 3);
        if (!std::all_of(digits.begin(), digits.end(),
                         [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
            return std::nullopt;
        sequence = std::stoi(digits);
        if (sequence < 2) return std::nullopt;
    }

    std::tm local{};
    local.tm_year = Number(stem, 0, 4) - 1900;
    local.tm_mon = Number(stem, 5, 2) - 1;
    local.tm_mday = Number(stem, 8, 2);
    local.tm_hour = Number(stem, 11, 2);
    local.tm_min = Number(stem, 14, 2);
    local.tm_sec = Number(stem, 17, 2);
    local.tm_isdst = -1;
    if (local.tm_mon < 0 || local.tm_mon > 11 || local.tm_mday < 1 || local.tm_mday > 31 ||
        local.tm_hour > 23 || local.tm_min > 59 || local.tm_sec > 60)
        return std::nullopt;
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1)) return std::nullopt;
    return HistoryEntry{path, std::chrono::system_clock::from_time_t(seconds), sequence};
}

std::vector<HistoryEntry> CDeviceHistory::Entries() const {
    std::vector<HistoryEntry> entries;
    try {
        std::error_code ec;
        fs::directory_iterator it(folder_, ec);
        for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
            std::error_code typeError;
            if (!it->is_regular_file(typeError)) continue;
            if (std::optional<HistoryEntry> entry = EntryFor(it->path())) {
                std::error_code timeError;
                entry->written = it->last_write_time(timeError);
                entries.push_back(std::move(*entry));
            }
        }
        std::sort(entries.begin(), entries.end(), NewerFirst);
    } catch (const std::exception&) {
        entries.clear();
    }
    return entries;
}

void CDeviceHistory::MakeNewest(std::vector<HistoryEntry>& entries, const fs::path& written) {
    // Some file clocks count whole seconds (stat on Windows), so reads in one second tie; a clock set
    // back makes the new file older than the rest. Either way its time is moved past the others'.
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [&](const HistoryEntry& e) { return e.path == written; });
    if (it == entries.end()) return;
    fs::file_time_type latest = it->written;
    for (const HistoryEntry& entry : entries)
        if (entry.path != written && entry.written >= latest)
            latest = entry.written + std::chrono::seconds(1);
    if (latest != it->written) {
        std::error_code ec;
        fs::last_write_time(written, latest, ec);
        if (!ec) it->written = latest;
    }
    std::rotate(entries.begin(), it, it + 1);
}

bool CDeviceHistory::RemoveBeyondCount(const std::vector<HistoryEntry>& entries, const fs::path& keep) {
    bool ok = true;
    // The kept entry stays and takes the first place, wherever it sorts.
    std::size_t room = static_cast<std::size_t>(count_);
    const bool keepListed =
        !keep.empty() &&
        std::any_of(entries.begin(), entries.end(), [&](const HistoryEntry& e) { return e.path == keep; });
    if (keepListed && room > 0) --room;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].path == keep) continue;
        if (room > 0) {
            --room;
            continue;
        }
        std::error_code ec;
        fs::remove(entries[i].path, ec);
        if (ec) {
            lastError_ = entries[i].path.string() + ": " + ec.message();
            ok = false;
        }
    }
    return ok;
}

bool CDeviceHistory::Trim() {
    try {
        return RemoveBeyondCount(Entries());
    } catch (const std::exception& e) {
        lastError_ = e.what();
        return false;
    }
}

bool CDeviceHistory::SameAsNewest(const CPatchArray& patches,
                                  const std::vector<HistoryEntry>& entries) const {
    if (entries.empty()) return false;
    CFileDocument newest;
    return newest.Load(entries.front().path) && SamePatches(newest.Patches(), patches);
}

HistoryKeep CDeviceHistory::KeepEntry(const CPatchArray& patches, std::chrono::system_clock::time_point now,
                                      fs::path& kept) {
    if (count_ == 0) {
        Trim();
        return HistoryKeep::NotKept;
    }
    const std::vector<HistoryEntry> entries = Entries();
    if (SameAsNewest(patches, entries)) {
        RemoveBeyondCount(entries);
        return HistoryKeep::SameAsNewest;
    }

    std::error_code ec;
    fs::create_directories(folder_, ec);
    if (ec) {
        lastError_ = folder_.string() + ": " + ec.message();
        return HistoryKeep::Failed;
    }
    // The read's second names the entry; more reads in that second are numbered.
    fs::path path;
    for (int sequence = 1;; ++sequence) {
        if (sequence > kMostInOneSecond) {
            lastError_ = folder_.string() + ": too many entries in one second";
            return HistoryKeep::Failed;
        }
        path = folder_ / FileNameFor(now, sequence);
        const bool taken = fs::exists(path, ec);
        if (ec) {
            lastError_ = path.string() + ": " + ec.message();
            return HistoryKeep::Failed;
        }
        if (!taken) break;
    }
    CFileDocument document;
    document.Patches() = patches;
    if (!document.Save(path)) {
        lastError_ = path.string() + ": the file could not be written";
        return HistoryKeep::Failed;
    }
    std::vector<HistoryEntry> after = Entries();
    MakeNewest(after, path);
    RemoveBeyondCount(after, path);
    kept = path;
    return HistoryKeep::Kept;
}

HistoryKeep CDeviceHistory::Keep(const CPatchArray& patches, std::chrono::system_clock::time_point now,
                                 fs::path* kept) {
    lastError_.clear();
    HistoryKeep result = HistoryKeep::Failed;
    fs::path path;
    try {
        result = KeepEntry(patches, now, path);
        if (kept && result == HistoryKeep::Kept) *kept = path;
    } catch (const std::exception& e) {
        lastError_ = e.what();
        result = HistoryKeep::Failed;
    }
    if (result == HistoryKeep::Failed && messages_) messages_->ReportMessage(MSG_HISTORY_NOT_KEPT);
    return result;
}
