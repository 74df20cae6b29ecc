#pragma once

#include <QString>
#include <vector>

#include "gp/mdi/mdi_document.h"

// One row of the demo: a name, a kind chosen from a list, a whole-number level and a real-number gain.
struct CDemoRow {
    QString name;
    QString kind;
    double level = 64;
    double gain = 0;
};

// The demo document: a list of rows, kept in a tab-separated text file.
class CDemoDocument : public GP::CMDIDocument {
    Q_OBJECT

  public:
    static const QStringList& Kinds();

    std::vector<CDemoRow>& Rows() { return rows_; }

    bool OnNewDocument() override;
    bool OnOpenDocument(const QString& path) override;
    bool OnSaveDocument(const QString& path) override;
    void DeleteContents() override { rows_.clear(); }

  private:
    std::vector<CDemoRow> rows_;
};
