#include "ui/app_context.h"

#include "import/reader.h"
#include "model/device_history.h"
#include "transfer/reader.h"
#include "transfer/writer.h"
#include "ui/transfer_jobs.h"

void CPatchClipboard::CopyFrom(const CPatchArray& source, const std::vector<int>& indexes) {
    source.CopySelection(indexes, data_.GetArray());
    emit changed();
}

void CPatchClipboard::Clear() {
    data_.GetArray().RemoveAll();
    emit changed();
}

CAppContext::~CAppContext() = default;

bool CAppContext::Busy() const {
    return jobs && jobs->IsRunning();
}

void CAppContext::ReleaseTransfers() {
    reader.reset();
    writer.reset();
    earlierReader.reset();
}
