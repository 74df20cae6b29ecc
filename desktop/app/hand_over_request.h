#pragma once

// The request a later copy of the program sends the running copy over its local socket, and its parser.
// Standard library only: the fuzz target of the request compiles this file by itself.
//
// A request is lines ending in "\n": either the line "ACTIVATE" alone (come to the front), or one to
// kMaxFiles lines "OPEN " + the file's absolute path in UTF-8, Base64-encoded (standard alphabet, with
// padding); then the line "END". Nothing else is a request: unknown lines, bad Base64, a path that is
// not absolute, not UTF-8 or holds a NUL, more than kMaxFiles files, a line or a request longer than the
// limits, bytes after END.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct HandOverRequest {
    // Come to the front without opening anything (then files is empty).
    bool activate = false;
    std::vector<std::string> files;

    bool operator==(const HandOverRequest&) const = default;
};

// The bytes of a request.
std::string EncodeHandOverRequest(const HandOverRequest& request);

// Takes the bytes of one connection as they arrive, in pieces of any size, and judges them line by line:
// work and memory grow with the bytes received, never beyond kMaxRequestBytes held.
class CHandOverParser {
  public:
    static constexpr std::size_t kMaxFiles = 16;
    static constexpr std::size_t kMaxPathBytes = 4096;
    // "OPEN " and the Base64 of the longest path, with its line end.
    static constexpr std::size_t kMaxLineBytes = 5 + (kMaxPathBytes + 2) / 3 * 4 + 1;
    static constexpr std::size_t kMaxRequestBytes = kMaxFiles * kMaxLineBytes + 32;

    enum class State { Incomplete, Complete, Invalid };

    // Adds received bytes; gives the state after them. Once Complete or Invalid, the state stays: any
    // further byte makes a complete request invalid.
    State Add(std::string_view bytes);
    State GetState() const { return state_; }
    // The request, once Complete.
    const HandOverRequest& Request() const { return request_; }
    // The bytes held for a line not yet ended.
    std::size_t Held() const { return line_.size(); }

  private:
    void TakeLine(std::string_view line);

    State state_ = State::Incomplete;
    std::string line_;
    std::size_t received_ = 0;
    HandOverRequest request_;
};

// Base64 (standard alphabet, padded) and its strict decoding: false for any other character, missing or
// misplaced padding, or bits left over that an encoder would not leave.
std::string EncodeBase64(std::string_view bytes);
bool DecodeBase64(std::string_view text, std::string& bytes);
// Whether text is well-formed UTF-8 (no overlong forms, no surrogates, nothing above U+10FFFF).
bool IsUtf8(std::string_view text);
// Whether a path names a file from the root: "/..." or, as Windows writes them, "C:\..." , "C:/..." or
// "\\server\...".
bool IsAbsolutePath(std::string_view path);
