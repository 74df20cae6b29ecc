#include "model/atomic_file.h"

#include <atomic>
#include <cstdio>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {
// Forces the file's data to the disk. The file is reopened because the standard streams do not expose
// their descriptor.
bool SyncFile(const fs::path& path) {
    std::FILE* file = std::fopen(path.string().c_str(), "rb+");
    if (!file) return false;
#ifdef _WIN32
    const bool ok = _commit(_fileno(file)) == 0;
#else
    const bool ok = ::fsync(fileno(file)) == 0;
#endif
    return std::fclose(file) == 0 && ok;
}

// Makes a rename durable; failure here is not an error of the save, the data are already in place.
void SyncFolder([[maybe_unused]] const fs::path& folder) {
#ifndef _WIN32
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#endif
}

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
#ifdef _WIN32
    const int pid = _getpid();
#else
    const int pid = static_cast<int>(::getpid());
#endif
    // Appended piece by piece: a string literal placed before a temporary string ("." + s) makes GCC 12
    // at -O2 and above report a false overlap in the insertion it inlines.
    std::string name(".");
    name += target.filename().string();
    name += ".saving-";
    name += std::to_string(pid);
    name += '-';
    name += std::to_string(counter++);
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
    std::error_code ec;
    // Keep the permissions of the file being replaced.
    const fs::file_status old = fs::status(target_, ec);
    if (!ec && fs::exists(old)) fs::permissions(temporary_, old.permissions(), ec);
    fs::rename(temporary_, target_, ec);
    if (ec) {
        Abandon();
        return false;
    }
    done_ = true;
    SyncFolder(target_.parent_path());
    return true;
}
