#pragma once
#include "gp/util/settings_catalog.h"

#include <QFileDialog>
#include <QString>
#include <string>
#include <utility>
#include <vector>

class ISettingsStore;

namespace UL {

// A file dialog that takes its filters as (name, extension) pairs, an initial folder and file name, and the
// setting under which the chosen filter's index is kept (none: not kept): read before the dialog shows,
// written when it ends with OK.
class CFileDialogA : public QFileDialog {
    Q_OBJECT

  public:
    using Filters = std::vector<std::pair<QString, QString>>;

    CFileDialogA(bool openDialog, const Filters& filters, const QString& defaultExtension,
                 const QString& initialFolder, const QString& initialName, ISettingsStore* settings,
                 const Profile::CIntValue* filterSetting, QWidget* parent = nullptr);

    // Shows the dialog modally; true on OK. The chosen path (also on cancel, what the name field holds).
    bool Run();
    QString ChosenPath() const { return chosen_; }
    int FilterIndex() const;

    // The filter texts as the dialog shows them: "name (*.ext)".
    static QStringList FilterTexts(const Filters& filters);

  private:
    ISettingsStore* settings_;
    const Profile::CIntValue* filterSetting_;
    QString chosen_;
};

}  // namespace UL
