#include "transfer/syx_writer.h"

#include <numeric>

#include "device/message_builders.h"
#include "model/atomic_file.h"
#include "model/parameter_address.h"
#include "textout/message_catalog.h"
#include "transfer/data_set_sink.h"
#include "transfer/patch_data_sets.h"

namespace {

// Appends each data set, as the device would receive it, to the bytes.
class CAppendingSink : public IDataSetSink {
  public:
    CAppendingSink(const DeviceIds& ids, std::vector<std::uint8_t>& bytes) : ids_(ids), bytes_(bytes) {}

    bool PutDataSet(int, int, PackedAddress address, std::span<const std::uint8_t> data) override {
        const CKivMarlinMessage message = MakeDataSetMessage(ids_, address, data);
        bytes_.insert(bytes_.end(), message.Bytes().begin(), message.Bytes().end());
        return true;
    }

  private:
    const DeviceIds& ids_;
    std::vector<std::uint8_t>& bytes_;
};

}  // namespace

CSyxWriter::CSyxWriter(const TextOutHub* messages) : messages_(messages), profile_(Tq550DeviceIds()) {}

bool CSyxWriter::Fits(std::size_t count) const {
    if (count <= static_cast<std::size_t>(USER_PATCH_COUNT)) return true;
    Report(MSG_SYX_TOO_MANY);
    return false;
}

std::vector<int> CSyxWriter::ConsecutiveSlots(std::size_t count) {
    std::vector<int> slots(count);
    std::iota(slots.begin(), slots.end(), 0);
    return slots;
}

bool CSyxWriter::Build(const CParameterArray& source, std::span<const int> positions,
                       std::span<const int> slots) {
    bytes_.clear();
    if (!Fits(positions.size())) return false;
    if (slots.size() != positions.size()) return false;
    for (std::size_t i = 0; i < positions.size(); ++i) {
        if (positions[i] < 0 || static_cast<std::size_t>(positions[i]) >= source.GetSize()) return false;
        if (slots[i] < 0 || slots[i] >= USER_PATCH_COUNT) return false;
    }
    CAppendingSink sink(profile_, bytes_);
    for (std::size_t i = 0; i < positions.size(); ++i)
        PutPatchDataSets(source.GetAt(static_cast<std::size_t>(positions[i])), AREA_USER_PATCH, slots[i],
                         sink);
    return true;
}

bool CSyxWriter::Build(const CParameterArray& source, std::span<const int> positions) {
    bytes_.clear();
    return Fits(positions.size()) && Build(source, positions, ConsecutiveSlots(positions.size()));
}

bool CSyxWriter::Save(const std::filesystem::path& path, const CParameterArray& source,
                      std::span<const int> positions, std::span<const int> slots) {
    if (!Fits(positions.size())) return false;
    bool ok = Build(source, positions, slots);
    if (ok) {
        AtomicFileWriter file(path);
        ok = file.IsOpen();
        if (ok) {
            file.Stream().write(reinterpret_cast<const char*>(bytes_.data()),
                                static_cast<std::streamsize>(bytes_.size()));
            ok = file.Stream() && file.Commit();
        }
    }
    if (!ok) Report(MSG_SAVE_FAILED);
    return ok;
}

bool CSyxWriter::Save(const std::filesystem::path& path, const CParameterArray& source,
                      std::span<const int> positions) {
    return Fits(positions.size()) && Save(path, source, positions, ConsecutiveSlots(positions.size()));
}
