#pragma once

#include <vector>

#include "ui/app_context.h"
#include "ui/param_view.h"

class CImageDoc;
class QGroupBox;
class QPushButton;

// The Main window's view (form 4111): the patch list of the processor's 200 user patches, the "Read" and
// "Write" groups with their "All" and "Selected" buttons, and the transfer commands: read and write all or
// the selected patches, write the patches the processor is not known to hold (Write Changed), export all or
// the selected patches as a Standard MIDI File and import one.
//
// Patches read from the processor or from a file arrive in a copy of the Main window's list, which takes
// them only when everything arrived: a read or an import that fails or is cancelled leaves the window, and
// its Undo, as they were. A write can be checked by reading the written patches back (into a list of its
// own) and comparing them byte for byte: the processor confirms nothing it receives.
//
// The document learns what the processor holds from every read and write of user patches that succeeds,
// and forgets it for the slots of one that fails or is cancelled. Every Read All that completes is kept in
// the device history (a history that cannot be written says so and fails nothing).
class CImageView : public CParamView {
    Q_OBJECT

  public:
    explicit CImageView(CAppContext& context);
    ~CImageView() override;

    void OnInitialUpdate() override;

    // The area code of user-patch transfers: the user patches while Mode is 1, else no patch area.
    int AreaCode() const;
    // The patch indexes of a transfer, ascending: all 200, or the selected ones.
    std::vector<int> Indexes(bool all) const;

    // The rules of the transfer commands: none while a transfer runs; the selected ones need a selection.
    bool CanTransfer() const { return !context_.Busy(); }
    bool CanTransferSelected() const { return CanTransfer() && SelectedCount() > 0; }

    // Each asks its confirmation first; true when the transfer took place and succeeded.
    bool ReadPatches(bool all);
    bool WritePatches(bool all);
    // Writes the patches at indexes (ascending) after the write confirmation.
    bool WritePatchesAt(const std::vector<int>& indexes);
    // Writes the patches the processor is not known to hold; with none it says so and sends nothing.
    bool WriteChanged();
    void ExportSmf(bool all);
    void ImportSmf();
    void OnReadAll() { ReadPatches(true); }
    void OnReadSelected() { ReadPatches(false); }
    void OnWriteAll() { WritePatches(true); }
    void OnWriteSelected() { WritePatches(false); }
    void OnWriteChanged() { WriteChanged(); }
    void OnExportAll() { ExportSmf(true); }
    void OnExportSelected() { ExportSmf(false); }

    // Whether a write is read back and compared (Profile::kVerifyWrite; off unless the user chose it).
    bool VerifyAfterWriting() const;
    // Reads the listed patches back from the processor into a list of their own and compares them with
    // the Main window's; tells the user the first that differs, or that all match. True when all match.
    bool VerifyWritten(const std::vector<int>& indexes);
    // "U03-2" for index 9.
    static QString PatchLabel(int index);

  protected:
    bool RouteViewCommand(int id, GP::CCmdUI* ui) override;
    // Also enables "Selected" under Read and Write by the rule of their commands.
    void OnCommandStatesChanged() override;

  private:
    // The confirmation of a write with its "Verify after writing" box; verify is the box's state.
    bool ConfirmWrite(bool& verify);
    CImageDoc* MainDoc() const;
    // Keeps the Main window's patches in the device history after a Read All.
    void KeepInHistory();

    QGroupBox* readGroup_;
    QGroupBox* writeGroup_;
    QPushButton* readAll_;
    QPushButton* readSelected_;
    QPushButton* writeAll_;
    QPushButton* writeSelected_;
};
