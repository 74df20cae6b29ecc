#include "device/writer.h"

#include <algorithm>

#include "device/message_builders.h"
#include "model/patch.h"

namespace {

// The patch as the device holds it: the stored block padded with zeros or cut to 2178 bytes.
PatchImage ImageOf(const CParameter& patch) {
    if (const auto* p = dynamic_cast<const CPatch*>(&patch)) return p->GetImage();
    PatchImage image{};
    patch.GetFlatData(image);
    return image;
}

}  // namespace

CWriter::CWriter(DeviceIds profile) : profile_(std::move(profile)) {}

std::int32_t CWriter::DeltaAfter(std::size_t messageLength) {
    return static_cast<std::int32_t>((messageLength * 192 + 12000) / 3125 + 1);
}

std::size_t CWriter::PutBytes(std::size_t offset, std::span<const std::uint8_t> bytes) {
    if (fileBytes_.size() < offset + bytes.size()) fileBytes_.resize(offset + bytes.size());
    std::copy(bytes.begin(), bytes.end(), fileBytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes.size();
}

bool CWriter::CSmfSink::PutDataSet(int, int, PackedAddress address, std::span<const std::uint8_t> data) {
    const CKivMarlinMessage message = MakeDataSetMessage(writer_.profile_, address, data);
    if (!writer_.WriteSysEx(writer_.nextDelta_, message.Bytes())) return false;
    writer_.nextDelta_ = DeltaAfter(message.Size());
    return true;
}

bool CWriter::WritePatch(const CParameterArray& source, int area, int number, IDataSetSink& sink) const {
    if (!IsPatchArea(area)) return true;
    if (number < 0 || static_cast<std::size_t>(number) >= source.GetSize()) return false;
    const PatchImage image = ImageOf(source.GetAt(static_cast<std::size_t>(number)));
    for (int chunk = 0; chunk < PATCH_CHUNK_COUNT; ++chunk) {
        const int blockId = BLOCK_PATCH + chunk * 0x100;
        const PackedAddress address = addresses_.GetAddress(area, number, blockId, 0);
        const auto offset = static_cast<std::size_t>(addresses_.GetChunkOffset(chunk));
        const auto size = static_cast<std::size_t>(addresses_.GetBlockSize(area, blockId, true));
        if (!sink.PutDataSet(area, number, address,
                             std::span<const std::uint8_t>(image).subspan(offset, size)))
            return false;
    }
    return true;
}

bool CWriter::BuildSmf(int area, std::span<const int> numbers, const CParameterArray& source) {
    fileBytes_.clear();
    nextDelta_ = 0;
    bool ok = BeginFile();
    smfMode_ = true;
    ok = ok && BeginTrack() && WriteMeta(0, MakeTempo(kTempo));
    CSmfSink sink(*this);
    for (std::size_t i = 0; ok && i < numbers.size(); ++i)
        ok = WritePatch(source, area, numbers[i], sink);
    return ok && EndTrack(nextDelta_) && FinishFile();
}

bool CWriter::WritePatchesToSmf(std::ostream& stream, int area, std::span<const int> numbers,
                                const CParameterArray& source) {
    if (!BuildSmf(area, numbers, source)) return false;
    stream.write(reinterpret_cast<const char*>(fileBytes_.data()),
                 static_cast<std::streamsize>(fileBytes_.size()));
    stream.flush();
    return static_cast<bool>(stream);
}
