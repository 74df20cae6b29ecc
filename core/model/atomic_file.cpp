#include "model/atomic_file.h"

#include <atomic>
#include <cstdio>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {
#ifdef _WIN32

// Forces the file's data to the disk. The file is opened again because the standard streams do not expose
// their handle.
bool SyncFile(const fs::path& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool flushed = ::FlushFileBuffers(file) != 0;
    return ::CloseHandle(file) != 0 && flushed;
}

// Puts the written file in the target's place in one step. ReplaceFileW is the call for replacing a file
// by another: it keeps the target's attributes, security and creation time, and when it fails the target
// is still there under its name. A new file is moved into place, written through to the disk. Both are
// given backslashes: Wine's ReplaceFileW fails on a path from the drive's root written with slashes
// ("/folder/file", as a program given POSIX-style paths receives them).
bool ReplaceTarget(fs::path temporary, fs::path target) {
    temporary.make_preferred();
    target.make_preferred();
    std::error_code ec;
    if (fs::exists(target, ec))
        return ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                              nullptr, nullptr) != 0;
    return ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

int ProcessId() {
    return static_cast<int>(::GetCurrentProcessId());
}

#else

// Forces the file's data to the disk. The file is opened again because the standard streams do not expose
// their descriptor.
bool SyncFile(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_WRONLY);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// Renames the written file over the target, keeping the permissions of the file it replaces, and makes the
// rename durable; a failure of the last step is not a failure of the save, the data are in place.
bool ReplaceTarget(const fs::path& temporary, const fs::path& target) {
    std::error_code ec;
    const fs::file_status old = fs::status(target, ec);
    if (!ec && fs::exists(old)) fs::permissions(temporary, old.permissions(), ec);
    fs::rename(temporary, target, ec);
    if (ec) return false;
    const fs::path folder = target.parent_path();
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
    return true;
}

int ProcessId() {
    return static_cast<int>(::getpid());
}

#endif

fs::path ResolveTarget(const fs::path& target) {
    std::error_code ec;
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (!ec) return resolved;
    }
    return target;
}

fs::path TemporaryPathFor(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    // Appended piece by piece: a string literal placed before a temporary string ("." + s) makes GCC 12
    // at -O2 and above report a false overlap in the insertion it inlines.
    std::string suffix(".saving-");
    suffix += std::to_string(ProcessId());
    suffix += '-';
    suffix += std::to_string(counter++);
    // Joined as paths, so that the name is never converted to narrow text (on Windows, the ANSI code page).
    fs::path name(".");
    name += target.filename();
    name += suffix;
    return target.parent_path() / name;
}
}  // namespace

AtomicFileWriter::AtomicFileWriter(const fs::path& target) : target_(ResolveTarget(target)) {
    std::error_code ec;
    if (fs::is_directory(target_, ec)) return;  // never replace a folder
    temporary_ = TemporaryPathFor(target_);
    stream_.open(temporary_, std::ios::binary | std::ios::out | std::ios::trunc);
}

AtomicFileWriter::~AtomicFileWriter() {
    if (!done_) Abandon();
}

void AtomicFileWriter::Abandon() {
    done_ = true;
    if (stream_.is_open()) stream_.close();
    std::error_code ec;
    if (!temporary_.empty()) fs::remove(temporary_, ec);
}

bool AtomicFileWriter::Commit() {
    if (done_ || !stream_.is_open()) return false;
    stream_.flush();
    const bool written = static_cast<bool>(stream_);
    stream_.close();
    if (!written || stream_.fail() || !SyncFile(temporary_)) {
        Abandon();
        return false;
    }
    if (!ReplaceTarget(temporary_, target_)) {
        Abandon();
        return false;
    }
    done_ = true;
    return true;
}
