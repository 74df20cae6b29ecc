#include "emu/tq550_emulator.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "device/message_acceptance.h"
#include "device/message_builders.h"
#include "device/protocol_constants.h"
#include "device/value7.h"
#include "model/file_document.h"
#include "model/patch.h"

namespace {

constexpr std::int32_t kUserBase = 0x02000000;
constexpr std::int32_t kUserStride = 0x4000;
constexpr std::int32_t kTemporaryBase = 0x0C000000;

void SetName(CTq550Emulator::PatchImage& image, const char* name) {
    std::fill(image.begin(), image.begin() + PATCH_NAME_LENGTH, static_cast<std::uint8_t>(' '));
    std::memcpy(image.data(), name, std::min<std::size_t>(std::strlen(name), PATCH_NAME_LENGTH));
}

}  // namespace

CTq550Emulator::CTq550Emulator(Tq550EmulatorOptions options)
    : options_(options),
      ids_(Tq550DeviceIds(static_cast<std::uint8_t>(options.deviceId & 0x7F))),
      user_(USER_PATCH_COUNT) {
    for (int n = 0; n < USER_PATCH_COUNT; ++n) {
        PatchImage& image = user_[static_cast<std::size_t>(n)];
        for (int i = PATCH_NAME_LENGTH; i < PATCH_BLOCK_SIZE; ++i)
            image[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((n * 31 + i) % 128);
        char name[PATCH_NAME_LENGTH + 1];
        std::snprintf(name, sizeof name, "EMU %s", UserPatchLabel(n).c_str());
        SetName(image, name);
    }
    for (int i = PATCH_NAME_LENGTH; i < PATCH_BLOCK_SIZE; ++i)
        temporary_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>((i * 7) % 128);
    SetName(temporary_, "EMU TEMPORARY");
}

void CTq550Emulator::SetOptions(const Tq550EmulatorOptions& options) {
    options_ = options;
    ids_ = Tq550DeviceIds(static_cast<std::uint8_t>(options.deviceId & 0x7F));
}

bool CTq550Emulator::ShouldExit() const {
    return options_.exitAfter >= 0 && received_ >= static_cast<std::uint64_t>(options_.exitAfter);
}

bool CTq550Emulator::Answering() const {
    return options_.stopAnsweringAfter < 0 ||
           received_ <= static_cast<std::uint64_t>(options_.stopAnsweringAfter);
}

std::vector<CTq550Emulator::Message> CTq550Emulator::Receive(std::span<const std::uint8_t> bytes) {
    ++received_;
    if (!CKivLongMessage::IsValid(bytes)) return {};

    if (bytes[1] == kUniversalNonRealTime)
        return Answering() ? AnswerIdentityRequest(bytes) : std::vector<Message>{};
    if (bytes[1] != kMarlinManufacturerId) return {};

    CKivMarlinMessage message;
    const MarlinVerdict verdict = JudgeMarlinMessage(bytes, ids_, message);
    if (verdict == MarlinVerdict::DataSet) {
        StoreDataSet(DecodeValue7(message.Field(MarlinField::Address)), message.Field(MarlinField::Data));
        return {};
    }
    if (verdict != MarlinVerdict::DataRequest || !Answering()) return {};
    // A request carries its size in the data field, packed like the address, and a checksum over both.
    const std::vector<std::uint8_t> size = message.Field(MarlinField::Data);
    if (size.size() != static_cast<std::size_t>(ids_.addressWidth)) return {};
    if (message.StoredChecksum() != message.ComputeChecksum()) return {};
    return AnswerDataRequest(DecodeValue7(message.Field(MarlinField::Address)), DecodeValue7(size));
}

std::vector<CTq550Emulator::Message> CTq550Emulator::AnswerIdentityRequest(
    std::span<const std::uint8_t> bytes) const {
    if (bytes.size() != 6 || !IsIdentityRequest(bytes)) return {};
    if (bytes[2] != ids_.deviceId && bytes[2] != 0x7F) return {};
    const std::uint8_t familyLow = options_.wrongFamilyCode ? 0x61 : 0x60;
    return {Message{0xF0, 0x7E, ids_.deviceId, 0x06, 0x02, 0x41, familyLow, 0x02, 0x00, 0x00, 0x00, 0x01,
                    0x00, 0x00, 0xF7}};
}

CTq550Emulator::PatchImage* CTq550Emulator::BlockAt(std::int32_t address, std::int32_t& blockBase) {
    if (address >= kUserBase && address < kUserBase + USER_PATCH_COUNT * kUserStride) {
        const std::int32_t number = (address - kUserBase) / kUserStride;
        blockBase = kUserBase + number * kUserStride;
        if (address - blockBase >= PATCH_BLOCK_SIZE) return nullptr;
        return &user_[static_cast<std::size_t>(number)];
    }
    if (address >= kTemporaryBase && address < kTemporaryBase + PATCH_BLOCK_SIZE) {
        blockBase = kTemporaryBase;
        return &temporary_;
    }
    return nullptr;
}

std::vector<CTq550Emulator::Message> CTq550Emulator::AnswerDataRequest(std::int32_t address,
                                                                       std::int32_t size) {
    std::vector<Message> answers;
    if (size <= 0 || address < 0) return answers;
    const std::int64_t end = static_cast<std::int64_t>(address) + size;
    // Walk the range block by block; bytes outside patch memory are not answered.
    for (std::int64_t position = address; position < end;) {
        std::int32_t base = 0;
        PatchImage* block = BlockAt(static_cast<std::int32_t>(position), base);
        if (!block) {
            // Skip to the next block start: the next user patch, or the temporary patch.
            std::int64_t next = end;
            if (position < kUserBase)
                next = kUserBase;
            else if (position < kUserBase + USER_PATCH_COUNT * kUserStride)
                next = kUserBase + ((position - kUserBase) / kUserStride + 1) * kUserStride;
            else if (position < kTemporaryBase)
                next = kTemporaryBase;
            position = std::max(position + 1, std::min(next, end));
            continue;
        }
        const std::int64_t blockEnd = std::min<std::int64_t>(end, base + PATCH_BLOCK_SIZE);
        for (std::int64_t chunk = position; chunk < blockEnd; chunk += PATCH_CHUNK_SIZE) {
            const std::int64_t count = std::min<std::int64_t>(PATCH_CHUNK_SIZE, blockEnd - chunk);
            const auto offset = static_cast<std::size_t>(chunk - base);
            answers.push_back(DataSet(
                static_cast<std::int32_t>(chunk),
                std::span<const std::uint8_t>(block->data() + offset, static_cast<std::size_t>(count))));
        }
        position = blockEnd;
    }
    if (!answers.empty()) ++answeredRequests_;
    return answers;
}

void CTq550Emulator::StoreDataSet(std::int32_t address, std::span<const std::uint8_t> data) {
    std::int32_t base = 0;
    PatchImage* block = BlockAt(address, base);
    if (!block) return;
    const auto offset = static_cast<std::size_t>(address - base);
    const std::size_t count = std::min(data.size(), block->size() - offset);
    std::copy_n(data.begin(), count, block->begin() + static_cast<std::ptrdiff_t>(offset));
    ++storedDataSets_;
    if (block == &temporary_) {
        if (offset == 0) ++temporaryBegun_;
        if (offset + count == block->size()) ++temporaryEnded_;
    }
}

CTq550Emulator::Message CTq550Emulator::DataSet(std::int32_t address,
                                                std::span<const std::uint8_t> data) const {
    Message bytes = MakeDataSetMessage(ids_, address, data).Bytes();
    if (options_.corruptChecksums)
        bytes[bytes.size() - 2] = static_cast<std::uint8_t>((bytes[bytes.size() - 2] + 1) & 0x7F);
    return bytes;
}

bool CTq550Emulator::LoadLibrary(const std::filesystem::path& path) {
    CFileDocument document;
    if (!document.Load(path)) return false;
    const CPatchArray& patches = document.Patches();
    const std::size_t count = std::min<std::size_t>(patches.GetSize(), USER_PATCH_COUNT);
    for (std::size_t i = 0; i < count; ++i) {
        // Patch data is 7-bit on the wire; a library may hold anything.
        PatchImage image = patches[i].GetImage();
        for (std::uint8_t& byte : image)
            byte &= 0x7F;
        user_[i] = image;
    }
    return true;
}

bool CTq550Emulator::SaveLibrary(const std::filesystem::path& path) const {
    CFileDocument document;
    for (const PatchImage& image : user_) {
        auto patch = std::make_unique<CPatch>();
        patch->PatchBlock().assign(image.begin(), image.end());
        document.Patches().Add(std::move(patch));
    }
    return document.Save(path);
}
