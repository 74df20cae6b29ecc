#pragma once

// A stream over bytes that, like a pipe, cannot tell its length or seek, for the readers that read a
// stream they can measure differently from one they cannot. Standard library only: the unit and fuzz
// tests share it.

#include <istream>
#include <streambuf>
#include <string>

class PipeStream : public std::istream {
  public:
    explicit PipeStream(std::string bytes) : std::istream(nullptr), buffer_(std::move(bytes)) {
        rdbuf(&buffer_);
    }

  private:
    // The standard stream buffer's seekoff and seekpos already fail; only the get area is set.
    class Buffer : public std::streambuf {
      public:
        explicit Buffer(std::string bytes) : bytes_(std::move(bytes)) {
            setg(bytes_.data(), bytes_.data(), bytes_.data() + bytes_.size());
        }

      private:
        std::string bytes_;
    };

    Buffer buffer_;
};
