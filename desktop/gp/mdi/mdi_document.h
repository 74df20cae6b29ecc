#pragma once

#include "gp/docview/document.h"

namespace GP {

// A document that refuses to be saved onto a file another open document uses.
//
// DoSave asks for a path when none is given (ProposeSaveName, then the document manager's dialog);
// then, with the wait cursor, it refuses a path that another open document of any template has
// (letter case ignored) by ReportFileInUse, and otherwise saves.
//
// ReportFileInUse shows catalogue message MSG_FILE_IN_USE ("Cannot overwrite this file because it
// is already in use."): through the message-box sink of the document manager's text-output hub when it
// has one, else in a message box.
class CMDIDocument : public CDocument {
    Q_OBJECT

  public:
    bool DoSave(const QString& path, bool replace = true) override;
    // Whether another open document of any template has this path (letter case ignored).
    bool IsPathInUseByOther(const QString& path) const;
    // Whether any open document, this one included, has this path: a file written by other means than a
    // save (an export) must not be one of them.
    bool IsPathInUse(const QString& path) const { return SamePathName(path) || IsPathInUseByOther(path); }

  protected:
    void ReportFileInUse();

  private:
    bool SamePathName(const QString& path) const;
};

}  // namespace GP
