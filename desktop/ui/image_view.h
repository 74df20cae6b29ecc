#pragma once

#include <vector>

#include "ui/param_view.h"

class QGroupBox;
class QPushButton;

// The Main window's view (form 4111): the patch list of the processor's 200 user patches, the "Read" and
// "Write" groups with their "All" and "Selected" buttons, and the transfer commands: read and write all or
// the selected patches, export all or the selected patches as a Standard MIDI File and import one.
class CImageView : public CParamView {
    Q_OBJECT

  public:
    CImageView();
    ~CImageView() override;

    void OnInitialUpdate() override;
    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, GP::CCmdUI& ui) override;

    // The area code of user-patch transfers: the user patches while Mode is 1, else no patch area.
    int AreaCode() const;
    // The patch indexes of a transfer: all 200, or the selected ones.
    std::vector<int> Indexes(bool all) const;

    bool ReadPatches(bool all);
    bool WritePatches(bool all);
    void ExportSmf(bool all);
    void ImportSmf();

    // Enables "Selected" under Read and Write exactly when rows are selected.
    void UpdateSelectedButtons();

  private:
    QGroupBox* readGroup_;
    QGroupBox* writeGroup_;
    QPushButton* readAll_;
    QPushButton* readSelected_;
    QPushButton* writeAll_;
    QPushButton* writeSelected_;
};
