// The commands of both patch windows on patches beyond editing: Compare, Select Duplicates and Export
// SysEx File.

#include <QMainWindow>
#include <QStatusBar>
#include <algorithm>

#include "model/duplicates.h"
#include "textout/text_out_hub.h"
#include "transfer/syx_writer.h"
#include "ui/app_context.h"
#include "ui/compare_window.h"
#include "ui/doc.h"
#include "ui/memo_codec.h"
#include "ui/param_view.h"
#include "ui/syx_files.h"
#include "ui/wait_cursor.h"

namespace {

// The patch indexes of a list's rows in the order the rows show them (sorted or not), End of Line left out.
std::vector<int> IndexesInRowOrder(const CPatchListCtrl& list) {
    std::vector<int> indexes;
    const int count = list.PatchCount();
    for (int row = 0; row < list.GetItemCount(); ++row)
        if (const qint64 index = list.GetItemData(row); index >= 0 && index < count)
            indexes.push_back(static_cast<int>(index));
    return indexes;
}

}  // namespace

bool CParamView::CanCompare() const {
    // More than two rows (End of Line among them at most) cannot hold two patches only.
    if (!GetDoc() || SelectedCount() < 1 || SelectedCount() > 3) return false;
    const std::size_t patches = List().SelectedIndexes().size();
    return patches == 2 || (patches == 1 && List().HasClipboard());
}

bool CParamView::CanSelectDuplicates() const {
    return GetDoc() && GetDoc()->Patches().GetSize() >= 2;
}

bool CParamView::CanExportSyxAll() const {
    return GetDoc() && !GetDoc()->Patches().IsEmpty();
}

bool CParamView::CanExportSyxSelected() const {
    return GetDoc() && SelectedCount() >= 1 && (IsMain() || !List().SelectedIndexes().empty());
}

QString CParamView::PatchPlace(int index) const {
    CDoc* doc = GetDoc();
    const QString window = IsMain() ? QStringLiteral("Main") : doc->GetTitle();
    return tr("%1 in %2").arg(doc->Model().CellText(index, CPatchTableModel::kNumberColumn), window);
}

void CParamView::OnEditCompare() {
    const std::vector<int> selected = List().SelectedIndexes();
    const CPatchArray& patches = GetDoc()->Patches();
    const ComparedPatch first{patches[static_cast<std::size_t>(selected[0])], PatchPlace(selected[0])};
    const QString text =
        selected.size() >= 2
            ? CCompareWindow::ComparisonText(
                  first, {patches[static_cast<std::size_t>(selected[1])], PatchPlace(selected[1])},
                  context_.MemoCodec())
            : CCompareWindow::ComparisonText(
                  first, {context_.Clipboard().Patches()[0], tr("the first patch of the clipboard")},
                  context_.MemoCodec());
    CCompareWindow::Of(window())->ShowText(text);
}

void CParamView::OnEditSelectDuplicates() {
    std::vector<int> duplicates;
    {
        CWaitCursor wait;
        duplicates = FindDuplicates(GetDoc()->Patches());
    }
    List().SelectIndexes(duplicates, true);
    const std::size_t count = duplicates.size();
    Report(count == 0   ? tr("No duplicates found.")
           : count == 1 ? tr("1 duplicate found and selected.")
                        : tr("%1 duplicates found and selected.").arg(count));
}

void CParamView::Report(const QString& text) {
    auto* frame = qobject_cast<QMainWindow*>(window());
    QStatusBar* bar = frame ? frame->statusBar() : nullptr;
    if (bar && bar->isVisible()) {
        bar->showMessage(text);
        return;
    }
    context_.ShowText(text.toStdString());
}

void CParamView::ExportSyx(bool all) {
    std::vector<int> positions = all ? IndexesInRowOrder(List()) : List().SelectedIndexes();
    std::vector<int> slotNumbers;
    if (IsMain()) {
        // Each patch to its own slot.
        std::sort(positions.begin(), positions.end());
        slotNumbers = positions;
    } else {
        slotNumbers = CSyxWriter::ConsecutiveSlots(positions.size());
    }
    CSyxFiles(context_, window()).OnExport(*GetDoc(), positions, slotNumbers);
}
