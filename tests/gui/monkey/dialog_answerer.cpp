#include "dialog_answerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

#include "gp/list/replace_string_dlg.h"
#include "gp/mdi/window_list_dlg.h"
#include "ui/file_dialog.h"
#include "ui/midi_setup_dialog.h"
#include "ui/midi_warning_dlg.h"
#include "ui/progress_bar.h"
#include "ui/set_grid_dlg.h"

namespace {

// A window the answerer must act on: a modal dialog other than the progress dialog, or a pop-up menu.
bool NeedsAnswer(const QWidget* window) {
    if (!window || !window->isVisible() || !window->isWindow()) return false;
    if (qobject_cast<const QMenu*>(window)) return true;
    const auto* dialog = qobject_cast<const QDialog*>(window);
    return dialog && !qobject_cast<const CProgressBar*>(dialog) && dialog->isModal();
}

QString NameOf(const QWidget* window) {
    return window->objectName().isEmpty() ? QString::fromLatin1(window->metaObject()->className())
                                          : window->objectName();
}

}  // namespace

CDialogAnswerer::CDialogAnswerer(CMonkeyRandom& random, PathChooser choosePath)
    : random_(random), choosePath_(std::move(choosePath)) {
    qApp->installEventFilter(this);
    // A dialog still open a moment after its answer, or one the filter did not see show, is answered (again).
    again_.setInterval(50);
    connect(&again_, &QTimer::timeout, this, [this] { AnswerOpenWindows(); });
    again_.start();
    cancelWatch_.setInterval(1);
    connect(&cancelWatch_, &QTimer::timeout, this, [this] {
        if (!progress_ || !progress_->isVisible()) {
            cancelWatch_.stop();
            return;
        }
        const int at = static_cast<int>(cancelAt_ * progress_->Bar()->maximum());
        if (progress_->Nesting() > 0 && progress_->Bar()->value() >= at) {
            cancelWatch_.stop();
            Note(QStringLiteral("progress: Cancel at %1").arg(progress_->Bar()->value()));
            progress_->CancelButton()->click();
        }
    });
}

CDialogAnswerer::~CDialogAnswerer() {
    qApp->removeEventFilter(this);
}

QStringList CDialogAnswerer::TakeLog() {
    QStringList log;
    log.swap(log_);
    return log;
}

void CDialogAnswerer::Note(const QString& line) {
    log_ << line;
}

bool CDialogAnswerer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
        auto* window = static_cast<QWidget*>(watched);
        if (auto* progress = qobject_cast<CProgressBar*>(window))
            ArmCancel(progress);
        else if (NeedsAnswer(window))
            Schedule(window);
    }
    return false;
}

void CDialogAnswerer::Schedule(QWidget* window) {
    for (const Pending& pending : pending_)
        if (pending.window == window) return;
    pending_.push_back({window, 0});
    QPointer<QWidget> guarded(window);
    QMetaObject::invokeMethod(
        this,
        [this, guarded] {
            if (guarded && NeedsAnswer(guarded)) Answer(guarded, 0);
        },
        Qt::QueuedConnection);
}

void CDialogAnswerer::AnswerOpenWindows() {
    pending_.erase(std::remove_if(pending_.begin(), pending_.end(),
                                  [](const Pending& p) { return !p.window || !p.window->isVisible(); }),
                   pending_.end());
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!NeedsAnswer(window)) continue;
        auto found = std::find_if(pending_.begin(), pending_.end(),
                                  [window](const Pending& p) { return p.window == window; });
        if (found == pending_.end()) {
            pending_.push_back({window, 0});
            Answer(window, 0);
            return;
        }
        // Still open after an answer: try again.
        Answer(window, ++found->tries);
        return;
    }
}

void CDialogAnswerer::Answer(QWidget* window, int tries) {
    ++answered_;
    if (auto* menu = qobject_cast<QMenu*>(window))
        AnswerMenu(menu);
    else if (auto* dialog = qobject_cast<QDialog*>(window))
        AnswerDialog(dialog, tries);
}

void CDialogAnswerer::AnswerMenu(QMenu* menu) {
    std::vector<QAction*> actions;
    for (QAction* action : menu->actions())
        if (action->isEnabled() && !action->isSeparator() && !action->menu()) actions.push_back(action);
    if (actions.empty() || random_.Chance(0.3)) {
        Note(QStringLiteral("menu: closed"));
        menu->close();
        return;
    }
    QAction* action = random_.Pick(actions);
    Note(QStringLiteral("menu: %1").arg(action->text()));
    menu->close();
    action->trigger();
}

void CDialogAnswerer::AnswerDialog(QDialog* dialog, int tries) {
    const QString name = NameOf(dialog);
    // After a few tries whatever keeps a dialog open, it is closed.
    if (tries >= 3) {
        Note(QStringLiteral("%1: rejected after %2 tries").arg(name).arg(tries));
        dialog->reject();
        return;
    }
    const bool ok = random_.Chance(0.75);
    if (auto* box = qobject_cast<QMessageBox*>(dialog)) {
        const QList<QAbstractButton*> buttons = box->buttons();
        if (buttons.isEmpty()) {
            box->reject();
            return;
        }
        QAbstractButton* button = buttons[random_.Int(0, static_cast<int>(buttons.size()) - 1)];
        Note(QStringLiteral("message box \"%1\": %2").arg(box->text().left(40), button->text()));
        button->click();
    } else if (auto* file = qobject_cast<UL::CFileDialogA*>(dialog)) {
        const bool open = file->acceptMode() == QFileDialog::AcceptOpen;
        if (!ok || !choosePath_) {
            Note(QStringLiteral("file dialog: Cancel"));
            file->reject();
            return;
        }
        const QString path = choosePath_(open);
        Note(QStringLiteral("file dialog (%1): %2").arg(open ? "open" : "save", path));
        if (auto* edit = file->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            edit->setText(path);
        else
            file->selectFile(path);
        static_cast<QDialog*>(file)->accept();
    } else if (auto* input = qobject_cast<QInputDialog*>(dialog)) {
        const QString text = random_.SearchText();
        input->setTextValue(text);
        Note(QStringLiteral("input \"%1\": %2").arg(input->labelText().left(30), ok ? text : "Cancel"));
        ok ? input->accept() : input->reject();
    } else if (auto* replace = qobject_cast<GP::CReplaceStringDlg*>(dialog)) {
        const QString search = random_.Chance(0.2) ? QString() : random_.SearchText();
        const QString by = random_.Chance(0.5) ? random_.SearchText() : random_.Text();
        replace->SetStrings(search, by);
        Note(QStringLiteral("replace string \"%1\" by \"%2\": %3")
                 .arg(search, by.left(30), ok ? "Replace" : "Close"));
        ok ? replace->accept() : replace->reject();
    } else if (auto* warning = qobject_cast<CMidiWarningDlg*>(dialog)) {
        if (auto* box = warning->findChild<QCheckBox*>(QStringLiteral("dontShowAgain")))
            box->setChecked(random_.Chance(0.05));
        if (auto* verify = warning->findChild<QCheckBox*>(QStringLiteral("verifyAfterWriting")))
            verify->setChecked(random_.Chance(0.3));
        Note(QStringLiteral("confirmation: %1").arg(ok ? "OK" : "Cancel"));
        ok ? warning->accept() : warning->reject();
    } else if (auto* grid = qobject_cast<CSetGridDlg*>(dialog)) {
        const QList<QRadioButton*> radios = grid->findChildren<QRadioButton*>();
        if (!radios.isEmpty()) radios[random_.Int(0, static_cast<int>(radios.size()) - 1)]->setChecked(true);
        Note(QStringLiteral("grid %1: %2").arg(grid->Value()).arg(ok ? "OK" : "Cancel"));
        ok ? grid->accept() : grid->reject();
    } else if (auto* font = qobject_cast<QFontDialog*>(dialog)) {
        QFont chosen = font->currentFont();
        chosen.setPointSize(random_.Int(6, 24));
        font->setCurrentFont(chosen);
        Note(QStringLiteral("font %1: %2").arg(chosen.pointSize()).arg(ok ? "OK" : "Cancel"));
        ok ? font->accept() : font->reject();
    } else if (auto* setup = qobject_cast<CMidiSetupDialog*>(dialog)) {
        for (int id : {4101, 4104, 4096}) {
            QComboBox* list = setup->List(id);
            if (list && list->count() > 0 && random_.Chance(0.3))
                list->setCurrentIndex(random_.Int(0, list->count() - 1));
        }
        Note(QStringLiteral("MIDI setup: %1").arg(ok ? "OK" : "Cancel"));
        ok ? setup->accept() : setup->reject();
    } else if (auto* windows = qobject_cast<GP::CWindowListDlg*>(dialog)) {
        QListWidget* list = windows->List();
        for (int row = 0; row < list->count(); ++row)
            list->item(row)->setSelected(random_.Chance(0.4));
        switch (random_.Int(0, 5)) {
            case 0:
                Note(QStringLiteral("window list: Open"));
                windows->OnOpen();
                break;
            case 1:
                Note(QStringLiteral("window list: Close"));
                windows->OnCloseWindows();
                break;
            case 2:
                Note(QStringLiteral("window list: Leave"));
                windows->OnLeave();
                break;
            case 3:
                Note(QStringLiteral("window list: Tile"));
                windows->OnTile(random_.Chance(0.5));
                break;
            default:
                Note(QStringLiteral("window list: Done"));
                break;
        }
        if (windows->isVisible()) windows->accept();
    } else {
        Note(QStringLiteral("%1: %2").arg(name, ok ? "accepted" : "rejected"));
        ok ? dialog->accept() : dialog->reject();
    }
}

void CDialogAnswerer::ArmCancel(CProgressBar* progress) {
    if (!random_.Chance(cancelChance_)) return;
    progress_ = progress;
    cancelAt_ = random_.Int(0, 100) / 100.0;
    cancelWatch_.start();
}
