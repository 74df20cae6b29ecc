#include "ui/doc.h"

#include <QFileInfo>
#include <algorithm>
#include <functional>
#include <string_view>

#include "gp/util/settings_catalog.h"
#include "model/parameter_address.h"
#include "ui/app_context.h"
#include "ui/collection.h"
#include "ui/memo_codec.h"
#include "ui/recovery_store.h"

std::filesystem::path ToFilePath(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

namespace {

// The indexes that name patches of a list of count, ascending, each once.
std::vector<int> ValidIndexes(std::vector<int> indexes, int count) {
    std::sort(indexes.begin(), indexes.end());
    indexes.erase(std::unique(indexes.begin(), indexes.end()), indexes.end());
    indexes.erase(
        std::remove_if(indexes.begin(), indexes.end(), [count](int i) { return i < 0 || i >= count; }),
        indexes.end());
    return indexes;
}

// A name as typed: one byte a character; ASCII stays, anything else becomes a byte SetName turns into a
// blank.
std::string NameBytes(const QString& text) {
    std::string bytes;
    for (QChar c : text.left(static_cast<qsizetype>(PATCH_NAME_LENGTH)))
        bytes += c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : '\x80';
    return bytes;
}

// A fingerprint of everything a library file keeps of a patch: its record's bytes.
std::uint64_t Fingerprint(const CPatch& patch, std::vector<std::uint8_t>& buffer) {
    buffer.resize(patch.GetSerializedSize());
    SerializePatch(patch, buffer);
    return std::hash<std::string_view>()(
        std::string_view(reinterpret_cast<const char*>(buffer.data()), buffer.size()));
}

// The indexes that name patches of a list of count, in the order given.
std::vector<int> InRange(const std::vector<int>& indexes, int count) {
    std::vector<int> valid;
    for (int index : indexes)
        if (index >= 0 && index < count) valid.push_back(index);
    return valid;
}

}  // namespace

CDoc::CDoc(CAppContext& context, std::unique_ptr<CImageDocument> data, bool library)
    : context_(context),
      data_(std::move(data)),
      model_(data_->Patches(), library, &context.MemoCodec(), this) {
    data_->SetInitialData(context.Initial());
    context.Recovery().Track(this);
}

CDoc::~CDoc() = default;

template <class F>
void CDoc::ResetWith(F change) {
    model_.BeginReset();
    change();
    model_.EndReset();
}

void CDoc::Finish() {
    emit changed();
}

void CDoc::Changed(const std::vector<int>& indexes) {
    const std::vector<int> valid = ValidIndexes(indexes, model_.PatchCount());
    if (!valid.empty()) model_.PatchesChanged(valid.front(), valid.back());
}

void CDoc::RemoveAndFill(std::vector<int> indexes) {
    indexes = ValidIndexes(std::move(indexes), model_.PatchCount());
    // Span by span from the end, so that the indexes of the spans still to go stay as they are.
    std::size_t end = indexes.size();
    while (end > 0) {
        std::size_t begin = end - 1;
        while (begin > 0 && indexes[begin - 1] == indexes[begin] - 1)
            --begin;
        const int first = indexes[begin];
        const int last = indexes[end - 1];
        model_.BeginRemove(first, last);
        const std::vector<int> span(indexes.begin() + static_cast<std::ptrdiff_t>(begin),
                                    indexes.begin() + static_cast<std::ptrdiff_t>(end));
        MutablePatches().DeleteSelection(span);
        model_.EndRemove(first);
        end = begin;
    }
    const int size = model_.PatchCount();
    if (Capacity() != kUnlimited && size < Capacity()) {
        model_.BeginInsert(size, Capacity() - size);
        MutablePatches().Resize(static_cast<std::size_t>(Capacity()));
        model_.EndInsert(size, Capacity() - size);
    }
}

void CDoc::CutToCapacity() {
    const int size = model_.PatchCount();
    if (Capacity() == kUnlimited || size <= Capacity()) return;
    model_.BeginRemove(Capacity(), size - 1);
    MutablePatches().Resize(static_cast<std::size_t>(Capacity()));
    model_.EndRemove(Capacity());
}

void CDoc::Undo() {
    ResetWith([this] { data_->Undo(); });
    PatchesEdited();
    Finish();
}

void CDoc::Cut(const std::vector<int>& indexes, CPatchClipboard& clipboard, UndoMode mode) {
    data_->TakeUndoCopy(mode);
    // The clipboard takes them in the order given (the rows' order), not in the patches' order.
    clipboard.CopyFrom(Patches(), InRange(indexes, model_.PatchCount()));
    RemoveAndFill(indexes);
    PatchesEdited();
    Finish();
}

void CDoc::Delete(const std::vector<int>& indexes, UndoMode mode) {
    data_->TakeUndoCopy(mode);
    RemoveAndFill(indexes);
    PatchesEdited();
    Finish();
}

std::vector<int> CDoc::Insert(int position, const CPatchArray& patches, UndoMode mode) {
    data_->TakeUndoCopy(mode);
    position = std::clamp(position, 0, model_.PatchCount());
    const int count = static_cast<int>(patches.GetSize());
    std::vector<int> placed;
    if (count > 0) {
        model_.BeginInsert(position, count);
        MutablePatches().InsertClipboard(position, patches);
        model_.EndInsert(position, count);
        CutToCapacity();
        for (int i = position; i < position + count && i < model_.PatchCount(); ++i)
            placed.push_back(i);
    }
    PatchesEdited();
    Finish();
    return placed;
}

void CDoc::Replace(const std::vector<int>& indexes, const CPatchArray& patches, UndoMode mode) {
    data_->TakeUndoCopy(mode);
    // In the order given: the k-th index takes the k-th patch.
    const std::vector<int> valid = InRange(indexes, model_.PatchCount());
    MutablePatches().ReplaceSelection(valid, patches);
    Changed(valid);
    PatchesEdited();
    Finish();
}

void CDoc::Exchange(const std::vector<int>& indexes, UndoMode mode) {
    data_->TakeUndoCopy(mode);
    MutablePatches().ExchangeSelection(indexes);
    if (!indexes.empty()) Changed({indexes.front(), indexes.back()});
    PatchesEdited();
    Finish();
}

std::vector<int> CDoc::Drop(int position, const CPatchArray& patches, UndoMode mode) {
    if (IsLibrary()) return Insert(position, patches, mode);
    std::vector<int> placed;
    // The Main window keeps its patches: the dropped ones replace from position to the end.
    data_->TakeUndoCopy(mode);
    for (std::size_t i = 0; i < patches.GetSize() && position >= 0 && position < model_.PatchCount(); ++i)
        placed.push_back(position++);
    for (std::size_t i = 0; i < placed.size(); ++i)
        MutablePatches()[static_cast<std::size_t>(placed[i])].Assign(patches[i]);
    Changed(placed);
    Finish();
    return placed;
}

void CDoc::EditCells(const std::vector<int>& indexes, int columnId, const std::vector<QString>& texts) {
    std::vector<int> edited;
    for (std::size_t i = 0; i < indexes.size() && i < texts.size(); ++i)
        if (indexes[i] >= 0 && indexes[i] < model_.PatchCount()) edited.push_back(static_cast<int>(i));
    if (edited.empty()) return;
    // In-place edits always keep their undo copy.
    data_->TakeUndoCopy(UndoMode::Offered);
    std::vector<int> changed;
    for (int i : edited) {
        const auto k = static_cast<std::size_t>(i);
        CPatch& patch = MutablePatches()[static_cast<std::size_t>(indexes[k])];
        if (columnId == CPatchTableModel::kNameColumn)
            patch.SetName(NameBytes(texts[k]));
        else if (columnId >= 1 && columnId <= 4)
            patch.SetMemo(columnId - 1, context_.MemoCodec().Encode(texts[k]));
        changed.push_back(indexes[k]);
    }
    Changed(changed);
    PatchesEdited();
    Finish();
}

void CDoc::TakePatches(const CPatchArray& source, const std::vector<int>& indexes, UndoMode mode,
                       bool markModified) {
    data_->TakeUndoCopy(mode);
    std::vector<int> taken;
    for (int index : indexes)
        if (index >= 0 && index < model_.PatchCount() && static_cast<std::size_t>(index) < source.GetSize()) {
            MutablePatches()[static_cast<std::size_t>(index)].Assign(source[static_cast<std::size_t>(index)]);
            taken.push_back(index);
        }
    Changed(taken);
    if (markModified) PatchesEdited();
    Finish();
}

void CDoc::SetPatches(CPatchArray patches) {
    ResetWith([&] {
        MutablePatches().Swap(patches);
        if (Capacity() != kUnlimited) MutablePatches().Resize(static_cast<std::size_t>(Capacity()));
    });
    Finish();
}

// ---- the library ------------------------------------------------------------------------------------

CFileDoc::CFileDoc(CAppContext& context)
    : CDoc(context, std::make_unique<CFileDocument>(&context.TextOut()), true),
      file_(static_cast<CFileDocument&>(Data())) {}

bool CFileDoc::OnNewDocument() {
    if (!CDoc::OnNewDocument()) return false;
    SetModifiedFlag(false);
    return true;
}

bool CFileDoc::OnOpenDocument(const QString& path) {
    bool loaded = false;
    ResetWith([&] { loaded = file_.Load(ToFilePath(path)); });
    if (!loaded) return false;
    SetModifiedFlag(false);
    Profile::RememberFolder(&Context().Settings(), Profile::kDocumentFolder, path);
    Context().Collection().AddFile(ToFilePath(path), FileKind::Library);
    return true;
}

bool CFileDoc::OnSaveDocument(const QString& path) {
    if (!file_.Save(ToFilePath(path))) return false;
    SetModifiedFlag(false);
    Profile::RememberFolder(&Context().Settings(), Profile::kDocumentFolder, path);
    Context().Collection().AddFile(ToFilePath(path), FileKind::Library);
    return true;
}

void CFileDoc::SetModifiedFlag(bool modified) {
    saved_.clear();
    savedKnown_ = !modified;
    if (!modified) {
        std::vector<std::uint8_t> buffer;
        saved_.reserve(Patches().GetSize());
        for (std::size_t i = 0; i < Patches().GetSize(); ++i)
            saved_.push_back(Fingerprint(Patches()[i], buffer));
    }
    CDoc::SetModifiedFlag(modified);
    UpdateFrameTitles();
}

void CFileDoc::PatchesEdited() {
    CDoc::SetModifiedFlag(DiffersFromFile());
    UpdateFrameTitles();
}

bool CFileDoc::DiffersFromFile() const {
    const CPatchArray& patches = Patches();
    if (!savedKnown_ || patches.GetSize() != saved_.size()) return true;
    std::vector<std::uint8_t> buffer;
    for (std::size_t i = 0; i < patches.GetSize(); ++i)
        if (Fingerprint(patches[i], buffer) != saved_[i]) return true;
    return false;
}

// ---- the Main window --------------------------------------------------------------------------------

CImageDoc::CImageDoc(CAppContext& context) : CDoc(context, std::make_unique<CImageDocument>(), false) {
    SetPatches(CPatchArray());
    Model().SetSlotKnowledge(&knowledge_);
}

void CImageDoc::SlotStatesChanged(const std::vector<int>& slotNumbers) {
    const auto [first, last] = std::minmax_element(slotNumbers.begin(), slotNumbers.end());
    if (first != slotNumbers.end()) Model().SlotStatesChanged(*first, *last);
}

void CImageDoc::RememberSlots(const std::vector<int>& slotNumbers) {
    RememberSlots(Patches(), slotNumbers);
}

void CImageDoc::RememberSlots(const CPatchArray& held, const std::vector<int>& slotNumbers) {
    knowledge_.Remember(held, slotNumbers);
    SlotStatesChanged(slotNumbers);
}

void CImageDoc::ForgetSlots(const std::vector<int>& slotNumbers) {
    knowledge_.Forget(slotNumbers);
    SlotStatesChanged(slotNumbers);
}

void CImageDoc::ForgetAllSlots() {
    knowledge_.ForgetAll();
    Model().SlotStatesChanged(0, kPatchCount - 1);
}

bool CImageDoc::OnCommand(int id) {
    // The Main window is neither saved nor closed by the user.
    return id == GP::ID_FILE_SAVE || id == GP::ID_FILE_SAVE_AS || id == GP::ID_FILE_CLOSE;
}

bool CImageDoc::OnUpdateCommand(int id, GP::CCmdUI& ui) {
    if (id == GP::ID_FILE_SAVE || id == GP::ID_FILE_SAVE_AS || id == GP::ID_FILE_CLOSE) {
        ui.enabled = false;
        return true;
    }
    return false;
}
