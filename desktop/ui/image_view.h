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
// The view asks the confirmations and knows the selection; the transfers themselves are the document's
// (CImageDoc::StartRead, StartWrite), each a job that runs on a worker while the window stays painted and
// the progress dialog answers. The transfer commands return once their job has started. Patches of an SMF
// import arrive in a copy of the Main window's list, which takes them only when everything arrived.
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
    bool CanTransfer() const;
    bool CanTransferSelected() const { return CanTransfer() && SelectedCount() > 0; }

    // Each asks its confirmation first; true when the transfer's job started.
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

    QGroupBox* readGroup_;
    QGroupBox* writeGroup_;
    QPushButton* readAll_;
    QPushButton* readSelected_;
    QPushButton* writeAll_;
    QPushButton* writeSelected_;
};
