#pragma once

#include <cstdint>

namespace TQML {

// Decodes addresses of TQ-4/TQ-MAX dumps. An address is four 7-bit bytes a0 a1 a2 a3 packed into one
// number a0·2^21 + a1·2^14 + a2·2^7 + a3. Stateless.
class CParameterAddress {
  public:
    virtual ~CParameterAddress() = default;

    // The user-patch area: 08 00 00 00 to 09 7F 7F 7F.
    bool IsUserPatch(std::int32_t address) const;
    // (a0 − 8)·128 + a1: 0 to 255 inside the user-patch area.
    int GetPatchNumber(std::int32_t address) const;
    // a2·128 + a3, the offset inside the patch.
    int GetOffset(std::int32_t address) const;
    // The block (0 to 42) that a data set at offset R fills.
    int GetBlock(int offset) const;
};

}  // namespace TQML
