#pragma once

// What every fuzz target shares: the check that stops a run when an invariant breaks, and byte helpers.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <sstream>
#include <string>
#include <vector>

#include "support/smf_bytes.h"

// Stops the run with a message when an invariant does not hold; libFuzzer then keeps the input as a crash.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: invariant broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

inline std::string AsString(std::span<const std::uint8_t> bytes) {
    return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

inline Bytes AsBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}
