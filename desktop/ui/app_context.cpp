#include "ui/app_context.h"

#include "ui/list_appearance.h"
#include "ui/transfer_jobs.h"

void CPatchClipboard::CopyFrom(const CPatchArray& source, const std::vector<int>& indexes) {
    source.CopySelection(indexes, data_.GetArray());
    emit changed();
}

void CPatchClipboard::Clear() {
    data_.GetArray().RemoveAll();
    emit changed();
}

int CAppContext::Mode() const {
    return services_.appearance.Mode();
}

bool CAppContext::Busy() const {
    return services_.jobs.IsRunning();
}
