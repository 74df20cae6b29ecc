#pragma once

#include <filesystem>
#include <fstream>
#include <string>

// Writes a file so that a failure never destroys the file that was there: the data go to a temporary
// file in the same folder, which is flushed to the disk and then put in the target's place in one step
// (rename on POSIX systems, ReplaceFileW on Windows). A writer that is destroyed without a successful
// Commit removes its temporary file and leaves the target untouched.
class AtomicFileWriter {
  public:
    explicit AtomicFileWriter(const std::filesystem::path& target);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // Whether the temporary file could be created.
    bool IsOpen() const { return stream_.is_open(); }
    std::ostream& Stream() { return stream_; }
    // Closes, flushes to the disk and renames over the target; false when any step failed.
    bool Commit();
    // Removes the temporary file; the target stays as it was.
    void Abandon();

  private:
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    std::ofstream stream_;
    bool done_ = false;
};
