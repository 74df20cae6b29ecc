#pragma once

#include <QString>
#include <QWidget>

class CMemoCodec;
class CPatch;
class QPlainTextEdit;
class QPushButton;

// One side of a comparison: the patch and where it is ("U03-2 in Main", "4 in Live Set").
struct ComparedPatch {
    const CPatch& patch;
    QString where;
};

// The window of Edit > Compare: a tool window in front of the main frame that shows the comparison of two
// patches as text (where each is, its memos, both names, then every run of differing data bytes by device
// address and chunk with both values in hex, or "The patches are identical."). It is not modal and does
// not take the focus when it shows, so the work in the windows goes on; the text can be selected and
// copied, and Copy puts all of it on the system clipboard; Close or Escape hides it. Each Compare shows its
// result in the same window.
class CCompareWindow : public QWidget {
    Q_OBJECT

  public:
    explicit CCompareWindow(QWidget* owner);

    // The compare window in front of owner, made on first use.
    static CCompareWindow* Of(QWidget* owner);
    // The comparison as the window shows it, the labels in the interface language.
    static QString ComparisonText(const ComparedPatch& first, const ComparedPatch& second,
                                  const CMemoCodec& codec);

    // Shows text (replacing what was shown) without taking the focus from the window that has it.
    void ShowText(const QString& text);
    QString Text() const;
    // Puts the whole text on the system clipboard.
    void CopyAll() const;

  private:
    QPlainTextEdit* text_;
    QPushButton* copy_;
    QPushButton* close_;
};
