#pragma once

#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

#include "gp/mdi/mdi_document.h"
#include "model/device_slot_knowledge.h"
#include "model/file_document.h"
#include "model/image_document.h"
#include "ui/patch_table_model.h"

class CAppContext;
struct CTemporaryPatch;
enum class JobOutcome;
class CPatchClipboard;

// The document of a patch window: the patches it shows with their undo copy, and the one place they change.
//
// Every change is one operation below: it takes the undo copy in the mode it is given (UndoMode::None takes
// none), changes the patches, marks a library modified (the Main window is never modified), announces the
// change to the table model that the views show, and emits changed(). Indexes are patch indexes (positions
// in the array); the operations ignore those out of range. The Main window holds Capacity() patches
// whatever is done: what is taken out is made up with new patches at the end, what is pushed past the end
// is lost (Undo brings it back).
class CDoc : public GP::CMDIDocument {
    Q_OBJECT

  public:
    // No capacity: a library holds any number of patches.
    static constexpr int kUnlimited = -1;

    ~CDoc() override;

    CAppContext& Context() const { return context_; }
    const CPatchArray& Patches() const { return data_->Patches(); }
    CPatchTableModel& Model() { return model_; }
    bool IsLibrary() const { return model_.IsLibrary(); }
    virtual int Capacity() const { return kUnlimited; }
    bool CanUndo(UndoMode mode) const { return data_->CanUndo(mode); }

    // The editing commands (their rules are the views').
    void Undo();
    // Copies of the patches at indexes into the clipboard, then they go.
    void Cut(const std::vector<int>& indexes, CPatchClipboard& clipboard, UndoMode mode);
    void Delete(const std::vector<int>& indexes, UndoMode mode);
    // Copies of patches before position (the patch count: after the last); the indexes that hold them
    // (in the Main window only those still within its capacity).
    std::vector<int> Insert(int position, const CPatchArray& patches, UndoMode mode);
    // The k-th patch of indexes becomes a copy of patches[k mod their count].
    void Replace(const std::vector<int>& indexes, const CPatchArray& patches, UndoMode mode);
    // Swaps the patches at the first and the last of indexes.
    void Exchange(const std::vector<int>& indexes, UndoMode mode);
    // A drop: a library inserts copies before position (the patch count: at the end); the Main window
    // replaces from position on, as many as fit. The indexes that hold them.
    std::vector<int> Drop(int position, const CPatchArray& patches, UndoMode mode);
    // Texts stored into the name (column id 5, by the name rule) or a memo (1 to 4, through the memo codec)
    // of the patches at indexes: one edit, whatever number of patches.
    void EditCells(const std::vector<int>& indexes, int columnId, const std::vector<QString>& texts);
    // The patches at indexes become copies of those at the same indexes of source (a read or an import
    // arrived in source, which has the document's shape). Marks a library modified when asked.
    void TakePatches(const CPatchArray& source, const std::vector<int>& indexes, UndoMode mode,
                     bool markModified);
    // All patches anew (a new window's content): no undo copy; the views start over.
    void SetPatches(CPatchArray patches);

    // The device work of both window kinds (doc_transfers.cpp). Each starts one transfer job and answers
    // whether it started; the document takes what it brought when it has ended. None starts while another
    // foreground job runs (the rule of the transfer commands); an audition in the background gives way.
    bool CanTransfer() const;
    // The processor's temporary patch into the patch at index (an undo copy is offered; a library is
    // marked modified).
    bool StartReadTemporary(int index);
    // The patch at index to the processor's temporary area, with the progress dialog.
    bool StartWriteTemporary(int index);
    // A copy of the patch at index for the temporary area, named as the status bar shows it: "U03-2 CLEAN
    // LEAD" in the Main window, "CLEAN LEAD (Live Set)" in a library.
    CTemporaryPatch TemporaryPatch(int index) const;

  signals:
    // After every change of the patches or of the undo copy.
    void changed();

  protected:
    // data holds the patches for the whole life of the document (a library's is a CFileDocument).
    CDoc(CAppContext& context, std::unique_ptr<CImageDocument> data, bool library);
    // After an operation changed the patches (or may have): the base marks the document modified.
    virtual void PatchesEdited() { SetModifiedFlag(true); }
    CImageDocument& Data() { return *data_; }
    // Announces a reset around change.
    template <class F>
    void ResetWith(F change);

    CAppContext& context_;

  private:
    CPatchArray& MutablePatches() { return data_->Patches(); }
    // Removes the patches at indexes (in the model's sight, span by span), then fills up to the capacity.
    void RemoveAndFill(std::vector<int> indexes);
    // Removes patches from the end down to the capacity.
    void CutToCapacity();
    void Changed(const std::vector<int>& indexes);
    void Finish();

    std::unique_ptr<CImageDocument> data_;
    CPatchTableModel model_;
};

// A library window's document: a library file (.tql). Loading and saving report their failures to the
// program's buffering sink (shown when the program is next idle); a failed open leaves no window.
//
// After an edit it is modified exactly while its patches differ from what its file holds (a new library's
// "file" holds none): a change taken back by Undo, or by an edit that restores what was there, leaves it
// unmodified. The library keeps one fingerprint of each patch as it was last loaded or saved for this.
class CFileDoc : public CDoc {
    Q_OBJECT

  public:
    explicit CFileDoc(CAppContext& context);

    bool OnNewDocument() override;
    bool OnOpenDocument(const QString& path) override;
    bool OnSaveDocument(const QString& path) override;
    // false: the patches are what the file holds now (after a load or a save); true: they differ from it in
    // any case (a new window with patches of its own), until the next save. Refreshes the frame title ("*"
    // while modified) and the main frame's caption.
    void SetModifiedFlag(bool modified = true) override;
    bool DiffersFromFile() const;

  protected:
    void PatchesEdited() override;

  private:
    CFileDocument& file_;
    // One fingerprint per patch of the file, and whether they are known (not after SetModifiedFlag(true)).
    std::vector<std::uint64_t> saved_;
    bool savedKnown_ = true;
};

// The Main window's document: the processor's 200 user patches. It is never opened, saved or closed by the
// user and never modified.
//
// It also keeps what the processor holds in each user slot as far as this run knows (learnt from the reads
// and writes that succeeded, forgotten for the slots of a transfer that failed and for all slots when the
// MIDI setup changes): Write Changed writes the patches that differ from it, and the number cells of the
// list mark them.
class CImageDoc : public CDoc {
    Q_OBJECT

  public:
    static constexpr int kPatchCount = USER_PATCH_COUNT;

    explicit CImageDoc(CAppContext& context);

    // The slots now hold the Main window's patches at the same positions (after a read or a write of them).
    void RememberSlots(const std::vector<int>& slotNumbers);
    // The slots now hold the patches at the same positions of held (what a check read back).
    void RememberSlots(const CPatchArray& held, const std::vector<int>& slotNumbers);
    void ForgetSlots(const std::vector<int>& slotNumbers);
    void ForgetAllSlots();
    // The slots whose patch the processor is not known to hold, ascending: what Write Changed writes.
    std::vector<int> ChangedSlots() const { return knowledge_.ChangedSlots(Patches()); }

    // The device work of the Main window (doc_transfers.cpp), each one transfer job; false when it did not
    // start. The area of user-patch transfers: the user patches while Mode is 1, else no patch area.
    int AreaCode() const;
    // Reads the patches at indexes (ascending) from the processor; they arrive in a copy and are taken
    // (with the undo copy of the program's Mode) only when all arrived, and the slots are remembered; a
    // read that fails or is cancelled leaves the window as it was and forgets the slots. A Read All that
    // completes (all) is kept in the device history.
    bool StartRead(const std::vector<int>& indexes, bool all);
    // Writes the patches at indexes (ascending) as they are now and remembers the slots; a write that fails
    // forgets them. With verify the written patches are read back into a list of their own and compared
    // byte for byte (the processor confirms nothing it receives); the user is told the first that differs,
    // or that all match, and the slots remember what came back.
    bool StartWrite(const std::vector<int>& indexes, bool verify);

    int Capacity() const override { return kPatchCount; }
    bool IsModified() const override { return false; }
    void SetModifiedFlag(bool) override {}

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, GP::CCmdUI& ui) override;

  private:
    // The number cells of slots show another state now.
    void SlotStatesChanged(const std::vector<int>& slotNumbers);
    // Tells the user how the check after a write came out.
    void ReportCheck(const CPatchArray& written, const CPatchArray& readBack, const std::vector<int>& indexes,
                     JobOutcome readBackOutcome);

    CDeviceSlotKnowledge knowledge_;
};

// A file path of the platform from a path as the windows show it.
std::filesystem::path ToFilePath(const QString& path);
