#include "textout/text_out_hub.h"

#include "textout/message_catalog.h"

namespace {

// The sink of the innermost redirect of this thread, or none.
thread_local CKivTextOut* redirected = nullptr;

}  // namespace

TextOutHub::CThreadRedirect::CThreadRedirect(CKivTextOut& sink) : previous_(redirected) {
    redirected = &sink;
}

TextOutHub::CThreadRedirect::~CThreadRedirect() {
    redirected = previous_;
}

void TextOutHub::SetTextOut(int slot, std::shared_ptr<CKivTextOut> sink) {
    if (slot < 0 || slot >= kSlotCount) return;
    slots_[static_cast<std::size_t>(slot)] = std::move(sink);
}

CKivTextOut* TextOutHub::GetTextOut(int slot) const {
    if (slot < 0 || slot >= kSlotCount) return nullptr;
    if (redirected) return redirected;
    return slots_[static_cast<std::size_t>(slot)].get();
}

void TextOutHub::Clear() {
    for (auto& slot : slots_)
        slot.reset();
}

void TextOutHub::ReportMessage(int id) const {
    if (CKivTextOut* sink = GetTextOut(kBufferSlot)) sink->Write(GetMessageCatalog().Text(id));
}

void TextOutHub::ReportMessage(int id, const std::string& argument) const {
    CKivTextOut* sink = GetTextOut(kBufferSlot);
    if (!sink) return;
    std::string text = GetMessageCatalog().Text(id);
    if (const std::size_t at = text.find("%1"); at != std::string::npos) text.replace(at, 2, argument);
    sink->Write(text);
}

int TextOutHub::AskMessage(int buttons, int id, int icon) const {
    CKivTextOut* sink = GetTextOut(kMessageBoxSlot);
    return sink ? sink->Ask(buttons, GetMessageCatalog().Text(id), icon) : ANSWER_CANCEL;
}

void TextOutHub::ShowMessage(int id) const {
    AskMessage(ASK_OK, id, ICON_EXCLAMATION);
}
