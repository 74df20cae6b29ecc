#include "import/reader.h"

#include <algorithm>

#include "device/marlin_message.h"
#include "device/protocol_constants.h"
#include "device/value7.h"

namespace TQML {

namespace {
constexpr std::uint8_t kDataSet = 0x12;
constexpr int kAddressWidth = 4;
constexpr int kNameBlock = earlier::kNameBlock;
}  // namespace

bool CReader::ReadSmf(std::istream& stream, CConcreteParameterArray<CPatch>& patches) {
    patchNumbers_.clear();
    if (!stream.seekg(0, std::ios::end)) return false;
    const std::streamoff size = stream.tellg();
    if (size < 0 || !stream.seekg(0, std::ios::beg)) return false;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    if (!stream.read(reinterpret_cast<char*>(bytes.data()), size)) return false;
    return ReadSmfBytes(std::move(bytes), patches);
}

bool CReader::ReadSmfBytes(std::vector<std::uint8_t> bytes, CConcreteParameterArray<CPatch>& patches) {
    patchNumbers_.clear();
    file_ = std::move(bytes);
    patches_ = &patches;
    firstIndex_ = patches.GetSize();
    const bool parsed = Parse();
    patches_ = nullptr;
    file_.clear();
    file_.shrink_to_fit();
    return parsed;
}

std::size_t CReader::GetBytes(std::size_t offset, std::span<std::uint8_t> buffer) {
    if (offset >= file_.size()) return 0;
    const std::size_t count = std::min(buffer.size(), file_.size() - offset);
    std::copy_n(file_.begin() + static_cast<std::ptrdiff_t>(offset), count, buffer.begin());
    return count;
}

void CReader::OnSysEx(std::int32_t, std::span<const std::uint8_t> message) {
    if (!patches_ || message.size() < 2 || message[0] != kSysExStart || message[1] != kMarlinManufacturerId)
        return;
    CKivMarlinMessage parsed;
    if (!parsed.Parse(message, kAddressWidth)) return;
    const std::vector<std::uint8_t>& bytes = parsed.Bytes();
    if (bytes[1] != GetDeviceIds().manufacturerId || bytes[2] != GetDeviceIds().deviceId) return;
    const std::vector<std::uint8_t> command = parsed.Field(MarlinField::CommandId);
    if (command.size() != 1 || command[0] != kDataSet) return;
    if (parsed.StoredChecksum() != parsed.ComputeChecksum()) return;
    const std::vector<std::uint8_t> address = parsed.Field(MarlinField::Address);
    if (address.size() != kAddressWidth || (address[0] != 0x08 && address[0] != 0x09)) return;
    const std::vector<std::uint8_t> data = parsed.Field(MarlinField::Data);
    Store(DecodeValue7(address), data);
}

void CReader::Store(std::int32_t address, std::span<const std::uint8_t> data) {
    if (!decoder_.IsUserPatch(address)) return;
    const int number = decoder_.GetPatchNumber(address);
    auto known = std::find(patchNumbers_.begin(), patchNumbers_.end(), number);
    std::size_t index = firstIndex_ + static_cast<std::size_t>(known - patchNumbers_.begin());
    if (known == patchNumbers_.end()) {
        index = patches_->GetSize();
        patches_->Add(std::make_unique<CPatch>());
        patchNumbers_.push_back(number);
    }
    CPatch& patch = (*patches_)[index];
    const int block = decoder_.GetBlock(decoder_.GetOffset(address));
    const std::span<std::uint8_t> target = patch.Block(block);
    // A data set longer than its block is cut at the block end.
    const std::size_t count = std::min(target.size(), data.size());
    std::copy_n(data.begin(), count, target.begin());
    if (block == 0) patch.ClearMemos();
    if (block == kNameBlock) {
        for (std::size_t i = 0; i < count; ++i) {
            if (target[i] == 0x7E) target[i] = 0x7D;
            if (target[i] == 0x7F) target[i] = 0x7B;
        }
    }
}

}  // namespace TQML
