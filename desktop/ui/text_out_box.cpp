#include "ui/text_out_box.h"

#include <QApplication>
#include <QMessageBox>

QWidget* CTextOutBox::Owner() const {
    if (QWidget* active = QApplication::activeModalWidget()) return active;
    return owner_ ? owner_.data() : QApplication::activeWindow();
}

int CTextOutBox::Ask(int buttons, const std::string& text, int icon) {
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    if (buttons == ASK_OK_CANCEL) set = QMessageBox::Ok | QMessageBox::Cancel;
    if (buttons == ASK_YES_NO) set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == ASK_YES_NO_CANCEL) set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox::Icon shown = QMessageBox::Warning;
    if (icon == ICON_QUESTION) shown = QMessageBox::Question;
    if (icon == ICON_STOP) shown = QMessageBox::Critical;
    QMessageBox box(shown, QStringLiteral("TQ-550 Librarian"), QString::fromStdString(text), set, Owner());
    box.setObjectName(QStringLiteral("TextOutBox"));
    switch (box.exec()) {
        case QMessageBox::Ok:
            return ANSWER_OK;
        case QMessageBox::Yes:
            return ANSWER_YES;
        case QMessageBox::No:
            return ANSWER_NO;
        default:
            return ANSWER_CANCEL;
    }
}

void CTextOutBox::Output(const std::string& text) {
    Ask(ASK_OK, text, ICON_EXCLAMATION);
}
