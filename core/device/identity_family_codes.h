#pragma once

#include <array>
#include <cstdint>

// Family codes (bytes 6 and 7 of an identity reply, low byte first) of the models this program talks to.
// The index is the model index recorded by the identity check: 0 = TQ-550.
struct IdentityFamilyCode {
    std::uint8_t low;
    std::uint8_t high;
};

inline constexpr std::array<IdentityFamilyCode, 1> kIdentityFamilyCodes = {{
    {0x60, 0x02},  // TQ-550
}};
