#pragma once

#include <QDialog>
#include <QObject>
#include <QPointer>
#include <filesystem>
#include <vector>

#include "collection/collector.h"
#include "exchange/patch_file.h"

class CCollection;
class CProgressBar;
class QLabel;
class QPlainTextEdit;
class QPushButton;

// What Add Folder to Collection came to: files read, patches found, new sounds and the files refused, each
// with its reason, in a list that can be selected and copied (Copy puts all of it on the system clipboard).
class CAddSummaryDialog : public QDialog {
    Q_OBJECT

  public:
    CAddSummaryDialog(const AddSummary& summary, QWidget* parent = nullptr);

    QLabel* Counts() const { return counts_; }
    QPlainTextEdit* Refused() const { return refused_; }
    // The refused files, one a line: the path, a tab, the reason.
    static QString RefusedText(const AddSummary& summary);
    void CopyRefused() const;

  private:
    QLabel* counts_;
    QPlainTextEdit* refused_;
    QPushButton* copy_;
};

// File > Add Folder to Collection...: the files below the folders go into the collection on its worker,
// with the progress dialog ("files done of files found, patches new") and its Cancel (what was added
// stays), then the summary. The object lives until the summary shows; it deletes itself after.
class CAddToCollection : public QObject {
    Q_OBJECT

  public:
    // The progress dialog is the program's (the transfers'): no transfer starts while it shows.
    CAddToCollection(CCollection& collection, CProgressBar& progress, QWidget* owner);

    // Starts; false (and the object is deleted later) when the collection cannot take it now.
    bool Start(std::vector<std::filesystem::path> paths, const PatchFileOptions& options);
    // The caption of the progress dialog.
    static QString Caption(const AddProgress& progress);

  signals:
    // The summary dialog has opened (tests look at it).
    void summaryShown(CAddSummaryDialog* dialog);

  private:
    void OnProgress(const AddProgress& progress);
    void OnFinished(const AddSummary& summary);

    CCollection& collection_;
    CProgressBar& progress_;
    QPointer<QWidget> owner_;
};
