#include "gp/mdi/window_list_dlg.h"

#include <QApplication>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <algorithm>

#include "gp/mdi/mdi_frame_wnd_ex.h"

namespace GP {

namespace {

CDialogTemplate WindowListTemplate() {
    CDialogTemplate t;
    t.id = CWindowListDlg::IDD_WINDOW_LIST;
    // Buttons wide enough for the Japanese texts, 18 units apart.
    t.size = QSize(252, 136);
    t.items = {
        {CWindowListDlg::IDC_LIST, QRect(7, 7, 160, 122)},
        {CWindowListDlg::IDC_OPEN, QRect(175, 7, 70, 14)},
        {CWindowListDlg::IDC_CLOSE, QRect(175, 25, 70, 14)},
        {CWindowListDlg::IDC_LEAVE, QRect(175, 43, 70, 14)},
        {CWindowListDlg::IDC_TILE_HORZ, QRect(175, 61, 70, 14)},
        {CWindowListDlg::IDC_TILE_VERT, QRect(175, 79, 70, 14)},
        {CWindowListDlg::IDC_HELP, QRect(175, 97, 70, 14)},
        {CWindowListDlg::IDC_DONE, QRect(175, 115, 70, 14)},
    };
    return t;
}

// Draws the part of a line before its tab at the left and the rest at the tab stop.
class CTabStopDelegate : public QStyledItemDelegate {
  public:
    CTabStopDelegate(int tabStop, QObject* parent) : QStyledItemDelegate(parent), tabStop_(tabStop) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem opt = option;
        initStyleOption(&opt, index);
        const QString text = opt.text;
        opt.text.clear();
        const QWidget* widget = opt.widget;
        QStyle* style = widget ? widget->style() : QApplication::style();
        style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
        const qsizetype tab = text.indexOf(QLatin1Char('\t'));
        painter->save();
        painter->setPen(opt.palette.color(opt.state & QStyle::State_Selected ? QPalette::HighlightedText
                                                                             : QPalette::Text));
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
        if (tab < 0) {
            painter->drawText(textRect, flags, text);
        } else {
            painter->drawText(textRect, flags, text.left(tab));
            painter->drawText(textRect.adjusted(tabStop_, 0, 0, 0), flags, text.mid(tab + 1));
        }
        painter->restore();
    }

  private:
    int tabStop_;
};

}  // namespace

CWindowListDlg::CWindowListDlg(CMDIFrameWndEx& frame, ISettingsStore* settings, QWidget* parent)
    : CResizeDlg(WindowListTemplate(), settings, parent, true), frame_(frame), list_(new QListWidget) {
    setWindowTitle(tr("Window List"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setItemDelegate(
        new CTabStopDelegate(MapDialogRect(QRect(0, 0, 10, 8), DialogBaseUnits(font())).width(), list_));
    AddControl(IDC_LIST, list_, ANCHOR_STRETCH);
    const struct {
        int id;
        QString text;
    } buttons[] = {
        {IDC_OPEN, tr("Open(&O)")},       {IDC_CLOSE, tr("Close(&C)")},     {IDC_LEAVE, tr("Leave(&L)")},
        {IDC_TILE_HORZ, tr("TileH(&T)")}, {IDC_TILE_VERT, tr("TileV(&V)")}, {IDC_HELP, tr("Help(&H)")},
        {IDC_DONE, tr("Done")},
    };
    for (const auto& b : buttons) {
        auto* button = new QPushButton(b.text);
        button->setAutoDefault(false);
        AddControl(b.id, button, ANCHOR_RIGHT);
    }
    auto button = [this](int id) { return static_cast<QPushButton*>(GetDlgItem(id)); };
    button(IDC_DONE)->setDefault(true);
    connect(button(IDC_OPEN), &QPushButton::clicked, this, &CWindowListDlg::OnOpen);
    connect(button(IDC_CLOSE), &QPushButton::clicked, this, &CWindowListDlg::OnCloseWindows);
    connect(button(IDC_LEAVE), &QPushButton::clicked, this, &CWindowListDlg::OnLeave);
    connect(button(IDC_TILE_HORZ), &QPushButton::clicked, this, [this] { OnTile(true); });
    connect(button(IDC_TILE_VERT), &QPushButton::clicked, this, [this] { OnTile(false); });
    connect(button(IDC_HELP), &QPushButton::clicked, this, &CWindowListDlg::OnHelp);
    button(IDC_HELP)->setEnabled(frame_.HelpCommand() >= 0);
    connect(button(IDC_DONE), &QPushButton::clicked, this, &QDialog::accept);
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { OnOpen(); });

    QMdiSubWindow* active = frame_.MDIGetActiveWindow();
    Refill();
    for (int row = 0; row < list_->count(); ++row) {
        if (WindowAt(row) == active) {
            list_->item(row)->setSelected(true);
            list_->setCurrentRow(row, QItemSelectionModel::NoUpdate);
        }
    }
}

QMdiSubWindow* CWindowListDlg::WindowAt(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size()) ? rows_[static_cast<std::size_t>(row)].data()
                                                            : nullptr;
}

QStringList CWindowListDlg::Lines() const {
    QStringList lines;
    for (int row = 0; row < list_->count(); ++row)
        lines << list_->item(row)->text();
    return lines;
}

void CWindowListDlg::Refill() {
    const std::vector<QMdiSubWindow*> selected = SelectedWindows();
    QMdiSubWindow* caret = WindowAt(list_->currentRow());
    list_->clear();
    rows_.clear();
    for (QMdiSubWindow* child : frame_.CollectChildrenByTitle()) {
        const QString prefix = child->isMinimized() ? QStringLiteral("\t") : QStringLiteral("*\t");
        list_->addItem(prefix + child->windowTitle());
        rows_.emplace_back(child);
    }
    for (int row = 0; row < list_->count(); ++row) {
        QMdiSubWindow* child = WindowAt(row);
        if (std::find(selected.begin(), selected.end(), child) != selected.end())
            list_->item(row)->setSelected(true);
        if (child && child == caret) list_->setCurrentRow(row, QItemSelectionModel::NoUpdate);
    }
}

std::vector<QMdiSubWindow*> CWindowListDlg::SelectedWindows() const {
    std::vector<QMdiSubWindow*> windows;
    for (int row = 0; row < list_->count(); ++row)
        if (list_->item(row)->isSelected())
            if (QMdiSubWindow* child = WindowAt(row)) windows.push_back(child);
    return windows;
}

void CWindowListDlg::OnOpen() {
    // The MDI area maximises a window activated beside a maximised one; here every window ends restored.
    QMdiArea* area = frame_.MdiArea();
    const bool keepsMaximised = !area->testOption(QMdiArea::DontMaximizeSubWindowOnActivation);
    area->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, true);
    for (QMdiSubWindow* child : SelectedWindows()) {
        if (child->isMinimized() || child->isMaximized()) child->showNormal();
        frame_.MDIActivate(child);
    }
    area->setOption(QMdiArea::DontMaximizeSubWindowOnActivation, !keepsMaximised);
    Refill();
}

void CWindowListDlg::OnHelp() {
    if (frame_.HelpCommand() >= 0) frame_.ExecuteCommand(frame_.HelpCommand());
}

void CWindowListDlg::OnCloseWindows() {
    // Closing one window can run an event loop (the save question) in which another of the selection is
    // closed and deleted: each is looked at through a guard just before it is closed.
    std::vector<QPointer<QMdiSubWindow>> selected;
    for (QMdiSubWindow* child : SelectedWindows())
        selected.emplace_back(child);
    for (const QPointer<QMdiSubWindow>& child : selected)
        if (child) child->close();
    Refill();
}

void CWindowListDlg::LeaveSelected() {
    const std::vector<QMdiSubWindow*> selected = SelectedWindows();
    for (int row = 0; row < list_->count(); ++row) {
        QMdiSubWindow* child = WindowAt(row);
        if (!child) continue;
        if (std::find(selected.begin(), selected.end(), child) != selected.end()) {
            if (child->isMinimized() || child->isMaximized()) child->showNormal();
        } else if (!child->isMinimized()) {
            child->showMinimized();
        }
    }
}

void CWindowListDlg::OnLeave() {
    LeaveSelected();
    Refill();
}

void CWindowListDlg::OnTile(bool horizontal) {
    LeaveSelected();
    frame_.ExecuteCommand(horizontal ? ID_WINDOW_TILE_HORZ : ID_WINDOW_TILE_VERT);
    Refill();
}

}  // namespace GP
