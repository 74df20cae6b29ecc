#include "ui/doc.h"

#include <QFileInfo>

#include "gp/util/settings_catalog.h"
#include "settings/settings_store.h"
#include "ui/app_context.h"

std::filesystem::path ToFilePath(const QString& path) {
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

CFileDoc::CFileDoc(CAppContext& context) : context_(context), data_(context.textOut) {
    data_.SetInitialData(context.initial);
}

bool CFileDoc::OnNewDocument() {
    if (!CDoc::OnNewDocument()) return false;
    SetModifiedFlag(false);
    return true;
}

bool CFileDoc::OnOpenDocument(const QString& path) {
    if (!data_.Load(ToFilePath(path))) return false;
    SetModifiedFlag(false);
    Profile::RememberFolder(context_.settings, Profile::kDocumentFolder, path);
    return true;
}

bool CFileDoc::OnSaveDocument(const QString& path) {
    if (!data_.Save(ToFilePath(path))) return false;
    SetModifiedFlag(false);
    Profile::RememberFolder(context_.settings, Profile::kDocumentFolder, path);
    return true;
}

void CFileDoc::SetModifiedFlag(bool modified) {
    CDoc::SetModifiedFlag(modified);
    UpdateFrameTitles();
}

CImageDoc::CImageDoc(CAppContext& context) {
    data_.SetInitialData(context.initial);
    data_.Patches().Resize(kPatchCount);
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
