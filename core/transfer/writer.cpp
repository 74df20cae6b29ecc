#include "transfer/writer.h"

#include <algorithm>

#include "device/message_builders.h"
#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"
#include "transfer/patch_data_sets.h"
#include "transfer/reader.h"

CWriter::CWriter(MidiEnvironment& environment) : environment_(environment), profile_(Tq550DeviceIds()) {}

bool CWriter::CDeviceSink::PutDataSet(int area, int number, PackedAddress address,
                                      std::span<const std::uint8_t> data) {
    if (CKivProgressBar* progress = writer_.environment_.GetProgressBar()) {
        progress->SetPatch(area, number);
        if (progress->IsCancelled()) {
            writer_.cancelled_ = true;
            return false;
        }
    }
    if (writer_.Send(address, data)) return true;
    writer_.environment_.TextOut().ShowMessage(MSG_CONNECTION_PROBLEM);
    return false;
}

bool CWriter::WritePatchesToDevice(AReader& reader, int area, std::span<const int> numbers,
                                   const CParameterArray& source) {
    failedNumber_ = -1;
    cancelled_ = false;
    if (!CheckTransferPorts(environment_, reader.Input(), SenderOutput())) return false;
    if (!reader.IdentifyDevice()) {
        cancelled_ = reader.WaitCancelled();
        return false;
    }
    CKivProgressBar* progress = environment_.GetProgressBar();
    if (progress) progress->Begin(static_cast<int>(numbers.size()), "", true);
    CDeviceSink sink(*this);
    bool ok = true;
    for (std::size_t i = 0; ok && i < numbers.size(); ++i) {
        if (progress) progress->SetPosition(static_cast<int>(i) + 1);
        ok = WritePatch(source, area, numbers[i], sink);
        if (!ok) failedNumber_ = numbers[i];
    }
    if (progress) progress->End();
    return ok;
}

std::int32_t CWriter::DeltaAfter(std::size_t messageLength) {
    return static_cast<std::int32_t>((messageLength * 192 + 12000) / 3125 + 1);
}

std::size_t CWriter::PutBytes(std::size_t offset, std::span<const std::uint8_t> bytes) {
    if (fileBytes_.size() < offset + bytes.size()) fileBytes_.resize(offset + bytes.size());
    std::copy(bytes.begin(), bytes.end(), fileBytes_.begin() + static_cast<std::ptrdiff_t>(offset));
    return bytes.size();
}

bool CWriter::CSmfSink::PutDataSet(int, int, PackedAddress address, std::span<const std::uint8_t> data) {
    const CKivMarlinMessage message = MakeDataSetMessage(writer_.Profile(), address, data);
    if (!writer_.WriteSysEx(writer_.nextDelta_, message.Bytes())) return false;
    writer_.nextDelta_ = DeltaAfter(message.Size());
    return true;
}

bool CWriter::WritePatch(const CParameterArray& source, int area, int number, IDataSetSink& sink) const {
    if (!IsPatchArea(area)) return true;
    if (number < 0 || static_cast<std::size_t>(number) >= source.GetSize()) return false;
    return PutPatchDataSets(source.GetAt(static_cast<std::size_t>(number)), area, number, sink);
}

bool CWriter::BuildSmf(int area, std::span<const int> numbers, const CParameterArray& source) {
    fileBytes_.clear();
    nextDelta_ = 0;
    bool ok = BeginFile();
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
