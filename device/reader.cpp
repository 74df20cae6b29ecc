#include "device/reader.h"

#include <algorithm>
#include <cstring>

#include "device/message_acceptance.h"
#include "device/protocol_constants.h"

namespace {

// Block 0 of section 0 of a patch, made when the patch has none.
Block& PatchBlockOf(CParameter& patch) {
    auto& sections = patch.Sections();
    if (sections.empty()) sections.emplace_back();
    if (sections.front().empty()) sections.front().emplace_back();
    return sections.front().front();
}

// Reads the rest of stream; false when reading fails for another reason than the end of the data.
bool ReadAll(std::istream& stream, std::vector<std::uint8_t>& bytes) {
    bytes.clear();
    if (!stream.good()) return false;
    char piece[64 * 1024];
    while (stream) {
        stream.read(piece, sizeof piece);
        const std::streamsize got = stream.gcount();
        bytes.insert(bytes.end(), piece, piece + got);
    }
    return !stream.bad();
}

}  // namespace

AReader::AReader(DeviceIds profile) : profile_(std::move(profile)) {}

void AReader::SetTarget(CParameterArray* target, std::vector<int> temporaryTarget) {
    target_ = target;
    temporaryTarget_ = std::move(temporaryTarget);
}

bool AReader::ReadPatchesFromSmf(std::istream& stream, CParameterArray& target) {
    SetTarget(&target, {0});
    smfMode_ = true;
    const bool ok = ReadAll(stream, fileBytes_) && Parse();
    fileBytes_.clear();
    fileBytes_.shrink_to_fit();
    target_ = nullptr;
    return ok;
}

std::size_t AReader::GetBytes(std::size_t offset, std::span<std::uint8_t> buffer) {
    if (offset >= fileBytes_.size()) return 0;
    const std::size_t n = std::min(buffer.size(), fileBytes_.size() - offset);
    std::memcpy(buffer.data(), fileBytes_.data() + offset, n);
    return n;
}

void AReader::OnSysEx(std::int32_t, std::span<const std::uint8_t> message) {
    if (message.size() < 2 || message[0] != kSysExStart || message[1] != kMarlinManufacturerId) return;
    CKivMarlinMessage parsed;
    if (JudgeMarlinMessage(message, profile_, parsed) != MarlinVerdict::DataSet) return;
    StoreMessage(parsed);
}

void AReader::StoreMessage(const CKivMarlinMessage& message) {
    const std::vector<std::uint8_t> address = message.Field(MarlinField::Address);
    const std::vector<std::uint8_t> data = message.Field(MarlinField::Data);
    StoreDataSet(PackAddress(address), data);
}

void AReader::StoreDataSet(PackedAddress address, std::span<const std::uint8_t> data) {
    if (target_ == nullptr) return;
    const int area = addresses_.GetArea(address);
    if (area == AREA_NONE) return;
    const int number = addresses_.GetPatchNumber(address, area);
    if (number < 0) return;
    const BlockLocation location = addresses_.Locate(address, area, number);
    if (location.block == 0 || addresses_.GetSection(location.block) != 0) return;

    int position = -1;
    if (area == AREA_TEMPORARY_PATCH) {
        if (smfMode_ || temporaryTarget_.empty()) return;
        position = temporaryTarget_.front();
    } else {
        position = number;
    }
    if (position < 0 || static_cast<std::size_t>(position) >= target_->GetSize()) return;

    CParameter& patch = target_->GetAt(static_cast<std::size_t>(position));
    patch.ClearMemos();
    Block& block = PatchBlockOf(patch);
    // A patch that takes device data holds at least a whole block; longer blocks keep their extra bytes.
    if (block.size() < static_cast<std::size_t>(PATCH_BLOCK_SIZE)) block.resize(PATCH_BLOCK_SIZE, 0);
    const auto offset = static_cast<std::size_t>(location.offset);
    const std::size_t count = std::min(data.size(), static_cast<std::size_t>(PATCH_BLOCK_SIZE) - offset);
    std::copy_n(data.begin(), count, block.begin() + static_cast<std::ptrdiff_t>(offset));
}
