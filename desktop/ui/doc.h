#pragma once

#include <QString>
#include <filesystem>

#include "gp/mdi/mdi_document.h"
#include "model/file_document.h"
#include "model/image_document.h"

class CAppContext;

// The document of a patch window: its data object holds the patches shown and their undo copy.
class CDoc : public GP::CMDIDocument {
    Q_OBJECT

  public:
    virtual CImageDocument& GetData() = 0;
    CPatchArray& Patches() { return GetData().Patches(); }
};

// A library window's document: a library file (.tql). Loading and saving report their failures to the
// program's buffering sink (shown when the program is next idle); a failed open leaves no window.
class CFileDoc : public CDoc {
    Q_OBJECT

  public:
    explicit CFileDoc(CAppContext& context);

    CImageDocument& GetData() override { return data_; }
    CFileDocument& FileData() { return data_; }

    bool OnNewDocument() override;
    bool OnOpenDocument(const QString& path) override;
    bool OnSaveDocument(const QString& path) override;
    // Stores the flag and refreshes the frame title ("*" while modified) and the main frame's caption.
    void SetModifiedFlag(bool modified = true) override;

  private:
    CAppContext& context_;
    CFileDocument data_;
};

// The Main window's document: the processor's 200 user patches. It is never opened, saved or closed by the
// user and never modified.
class CImageDoc : public CDoc {
    Q_OBJECT

  public:
    static constexpr int kPatchCount = 200;

    explicit CImageDoc(CAppContext& context);

    CImageDocument& GetData() override { return data_; }
    bool IsModified() const override { return false; }
    void SetModifiedFlag(bool) override {}

    bool OnCommand(int id) override;
    bool OnUpdateCommand(int id, GP::CCmdUI& ui) override;

  private:
    CImageDocument data_;
};

// A file path of the platform from a path as the windows show it.
std::filesystem::path ToFilePath(const QString& path);
