#include "import/parameter_address.h"

#include <iterator>

#include "import/tables/dump_block_table.h"

namespace TQML {

namespace {
constexpr std::int32_t kUserFirst = 0x08 << 21;
constexpr std::int32_t kUserEnd = 0x0A << 21;
}  // namespace

bool CParameterAddress::IsUserPatch(std::int32_t address) const {
    return address >= kUserFirst && address < kUserEnd;
}

int CParameterAddress::GetPatchNumber(std::int32_t address) const {
    return ((address >> 21) - 8) * 128 + ((address >> 14) & 0x7F);
}

int CParameterAddress::GetOffset(std::int32_t address) const {
    return address & 0x3FFF;
}

int CParameterAddress::GetBlock(int offset) const {
    for (const earlier::DumpBlockRow& row : earlier::kDumpBlocks) {
        if (offset < row.from || offset >= row.below) continue;
        return row.block + row.blockStep * ((offset - row.from) / earlier::kDumpBlockStepSize);
    }
    return earlier::kDumpBlocks[std::size(earlier::kDumpBlocks) - 1].block;
}

}  // namespace TQML
