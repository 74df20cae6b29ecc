#include <algorithm>
#include <fstream>

#include "device/device_ids.h"
#include "device/message_acceptance.h"
#include "device/protocol_constants.h"
#include "exchange/patch_file_kinds.h"
#include "model/atomic_file.h"
#include "model/parameter_address.h"
#include "ports/midi_environment.h"
#include "transfer/data_set_placement.h"
#include "transfer/reader.h"
#include "transfer/writer.h"

namespace {
// The import of the Main window, noting which user patches the file's data sets reach.
class CTouchNotingReader : public AReader {
  public:
    using AReader::AReader;

    void OnSysEx(std::int32_t, std::span<const std::uint8_t> message) override {
        if (message.size() < 2 || message[0] != kSysExStart || message[1] != kMarlinManufacturerId) return;
        CKivMarlinMessage parsed;
        if (JudgeMarlinMessage(message, Profile(), parsed) != MarlinVerdict::DataSet) return;
        const std::optional<DataSetPlace> place =
            PlaceDataSet(PackAddress(parsed.Field(MarlinField::Address)));
        if (StoreMessage(parsed) && place && place->area == AREA_USER_PATCH)
            touched_.push_back(place->number);
    }

    std::vector<int> Touched() const {
        std::vector<int> numbers = touched_;
        std::sort(numbers.begin(), numbers.end());
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
        return numbers;
    }

  private:
    std::vector<int> touched_;
};
}  // namespace

bool ReadSmfFile(const std::filesystem::path& path, CPatchArray& patches, TextOutHub& messages,
                 const PatchFileOptions& options, std::vector<int>& touched) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return false;
    std::ifstream stream(path, std::ios::binary);
    if (!stream.is_open()) return false;
    if (!options.applyOntoPatches) patches.RemoveAll();
    patches.Resize(USER_PATCH_COUNT);
    MidiEnvironment environment(messages);
    CTouchNotingReader reader(environment);
    reader.SetProfile(Tq550DeviceIds(options.deviceId));
    const bool read = reader.ReadPatchesFromSmf(stream, patches);
    touched = reader.Touched();
    return read;
}

bool WriteSmfFile(const CPatchArray& patches, std::span<const int> selection,
                  const std::filesystem::path& path, TextOutHub& messages, const PatchFileOptions& options) {
    AtomicFileWriter file(path);
    if (!file.IsOpen()) return false;
    MidiEnvironment environment(messages);
    CWriter writer(environment);
    writer.SetProfile(Tq550DeviceIds(options.deviceId));
    if (!writer.WritePatchesToSmf(file.Stream(), AREA_USER_PATCH, selection, patches)) return false;
    return file.Commit();
}
