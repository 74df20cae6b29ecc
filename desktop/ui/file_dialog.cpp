#include "ui/file_dialog.h"

#include <QDir>

#include "settings/settings_store.h"

namespace UL {

QStringList CFileDialogA::FilterTexts(const Filters& filters) {
    QStringList texts;
    for (const auto& [name, extension] : filters) {
        QString pattern = extension;
        if (pattern.startsWith(QLatin1Char('.'))) pattern.prepend(QLatin1Char('*'));
        // "*.*" of other systems: every file.
        if (pattern == QStringLiteral("*.*")) pattern = QStringLiteral("*");
        texts << QStringLiteral("%1 (%2)").arg(name, pattern);
    }
    return texts;
}

CFileDialogA::CFileDialogA(bool openDialog, const Filters& filters, const QString& defaultExtension,
                           const QString& initialFolder, const QString& initialName, ISettingsStore* settings,
                           const Profile::CIntValue* filterSetting, QWidget* parent)
    : QFileDialog(parent), settings_(settings), filterSetting_(filterSetting) {
    setObjectName(QStringLiteral("FileDialog"));
    setAcceptMode(openDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    setFileMode(openDialog ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    setNameFilters(FilterTexts(filters));
    QString suffix = defaultExtension;
    if (suffix.startsWith(QLatin1Char('.'))) suffix.remove(0, 1);
    setDefaultSuffix(suffix);
    if (!initialFolder.isEmpty() && QDir(initialFolder).exists()) setDirectory(initialFolder);
    if (!initialName.isEmpty()) selectFile(initialName);
    const int index = filterSetting_ ? filterSetting_->Read(settings_) : 0;
    const QStringList texts = nameFilters();
    if (index >= 0 && index < texts.size()) selectNameFilter(texts[index]);
}

int CFileDialogA::FilterIndex() const {
    return static_cast<int>(nameFilters().indexOf(selectedNameFilter()));
}

bool CFileDialogA::Run() {
    const bool ok = exec() == QDialog::Accepted;
    const QStringList files = selectedFiles();
    chosen_ = files.isEmpty() ? QString() : files.front();
    if (ok && filterSetting_) filterSetting_->Write(settings_, std::max(FilterIndex(), 0));
    return ok && !chosen_.isEmpty();
}

}  // namespace UL
