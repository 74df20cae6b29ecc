#include "transfer/reader.h"

#include <algorithm>
#include <cstring>

#include "device/message_acceptance.h"
#include "device/message_builders.h"
#include "device/protocol_constants.h"
#include "textout/message_catalog.h"
#include "textout/text_out_hub.h"
#include "transfer/bounded_read.h"
#include "transfer/data_set_placement.h"

AReader::AReader(MidiEnvironment& environment) : CKivMidiRequester(environment), profile_(Tq550DeviceIds()) {}

bool CheckTransferPorts(MidiEnvironment& environment, const CKivMidiIn* input, const CKivMidiOut* output) {
    if (input && output && environment.InPortOf(*input) && output->GetDevice()) return true;
    environment.TextOut().ShowMessage(MSG_NOT_SET_UP);
    return false;
}

bool AReader::IdentifyDevice() {
    identity_ = -1;
    if (!Output()) return false;
    if (!Exchange(MakeIdentityRequest(Output()->GetDeviceId()))) return false;
    if (identity_ == -1) {
        // Only a reply from another model came.
        Environment().TextOut().ShowMessage(MSG_CONNECTION_PROBLEM);
        return false;
    }
    return true;
}

bool AReader::OnUniversalMessage(const CKivLongMessage& message) {
    if (GetState() != kWaitingForUniversal || !Output()) return false;
    switch (CheckIdentityReply(message.Bytes(), Output()->GetDeviceId())) {
        case IdentityVerdict::NotAReply:
            return false;
        case IdentityVerdict::OtherModel:
            SetState(kUniversalReceived);
            return false;
        case IdentityVerdict::Accepted:
            identity_ = 0;
            return CKivMidiRequester::OnUniversalMessage(message);
    }
    return false;
}

bool AReader::ReadPatchesFromDevice(int area, std::span<const int> numbers, CParameterArray& target) {
    cancelled_ = false;
    if (!CheckTransferPorts(Environment(), Input(), Output())) return false;
    if (!IdentifyDevice()) {
        cancelled_ = WaitCancelled();
        return false;
    }
    SetTarget(&target, std::vector<int>(numbers.begin(), numbers.end()));
    smfMode_ = false;
    CKivProgressBar* progress = Environment().GetProgressBar();
    if (progress) progress->Begin(static_cast<int>(numbers.size()), "", true);
    SetState(kWaitingForData);
    bool ok = true;
    for (std::size_t i = 0; ok && i < numbers.size(); ++i) {
        if (progress) progress->SetPosition(static_cast<int>(i) + 1);
        if (IsPatchArea(area)) ok = RequestPatch(area, numbers[i]);
    }
    SetState(kIdle);
    requestOpen_ = false;
    target_ = nullptr;
    if (progress) progress->End();
    return ok;
}

bool AReader::RequestPatch(int area, int number) {
    CKivProgressBar* progress = Environment().GetProgressBar();
    if (progress) {
        progress->SetPatch(area, number);
        if (progress->IsCancelled()) {
            cancelled_ = true;
            return false;
        }
    }
    requestBase_ = addresses_.GetAddress(area, number, BLOCK_PATCH, 0);
    covered_.reset();
    requestOpen_ = true;
    Output()->SendRequest(requestBase_, addresses_.GetBlockSize(area, BLOCK_PATCH, false));
    // The wait ends as soon as every byte of the patch has arrived; 2 s is the longest it may take.
    const bool complete =
        Output()->LastSendSucceeded() && WaitFor(patchWait_, [&] { return covered_.all(); });
    requestOpen_ = false;
    if (!complete && WaitCancelled()) {
        cancelled_ = true;
        return false;
    }
    if (!complete) Environment().TextOut().ShowMessage(MSG_CONNECTION_PROBLEM);
    return complete;
}

bool AReader::OnDataSet(const CKivMarlinMessage& message) {
    if (GetState() != kWaitingForData) return false;
    const PackedAddress address = PackAddress(message.Field(MarlinField::Address));
    const std::vector<std::uint8_t> data = message.Field(MarlinField::Data);
    if (!StoreDataSet(address, data)) return false;
    Cover(address, data.size());
    return true;
}

void AReader::Cover(PackedAddress address, std::size_t size) {
    if (!requestOpen_) return;
    const long long offset = static_cast<long long>(address) - requestBase_;
    const long long begin = std::max(offset, 0LL);
    const long long end =
        std::min(offset + static_cast<long long>(size), static_cast<long long>(PATCH_BLOCK_SIZE));
    for (long long i = begin; i < end; ++i)
        covered_.set(static_cast<std::size_t>(i));
}

void AReader::SetTarget(CParameterArray* target, std::vector<int> temporaryTarget) {
    target_ = target;
    temporaryTarget_ = std::move(temporaryTarget);
}

bool AReader::ReadPatchesFromSmf(std::istream& stream, CParameterArray& target) {
    SetTarget(&target, {0});
    smfMode_ = true;
    // A file too big to be one of patches (a device, a file that never ends) is not read into memory.
    const bool ok = ReadAtMost(stream, fileBytes_) && Parse();
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
    if (JudgeMarlinMessage(message, Profile(), parsed) != MarlinVerdict::DataSet) return;
    StoreMessage(parsed);
}

bool AReader::StoreMessage(const CKivMarlinMessage& message) {
    const std::vector<std::uint8_t> address = message.Field(MarlinField::Address);
    const std::vector<std::uint8_t> data = message.Field(MarlinField::Data);
    return StoreDataSet(PackAddress(address), data);
}

bool AReader::StoreDataSet(PackedAddress address, std::span<const std::uint8_t> data) {
    if (target_ == nullptr) return false;
    const std::optional<DataSetPlace> place = PlaceDataSet(address);
    if (!place) return false;

    int position = -1;
    if (place->area == AREA_TEMPORARY_PATCH) {
        if (smfMode_ || temporaryTarget_.empty()) return false;
        position = temporaryTarget_.front();
    } else {
        position = place->number;
    }
    if (position < 0 || static_cast<std::size_t>(position) >= target_->GetSize()) return false;
    StoreDataSetInPatch(target_->GetAt(static_cast<std::size_t>(position)), place->offset, data);
    return true;
}
