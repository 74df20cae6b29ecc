#include "ui/app_context.h"

#include "textout/text_out_hub.h"
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

void CAppContext::ShowText(const std::string& text) const {
    if (CKivTextOut* box = services_.textOut.GetTextOut(TextOutHub::kMessageBoxSlot)) box->Write(text);
}

bool CAppContext::Busy() const {
    return services_.jobs.IsForegroundRunning();
}
