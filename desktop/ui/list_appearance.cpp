#include "ui/list_appearance.h"

#include "gp/util/settings_catalog.h"

void CListAppearance::Load(const ISettingsStore& settings) {
    grid_ = Profile::kGridSw.Read(&settings);
    mode_ = Profile::kMode.Read(&settings);
    font_.Load(settings, Profile::kListFont);
}

void CListAppearance::Save(ISettingsStore& settings) const {
    font_.Save(settings, Profile::kListFont);
    Profile::kGridSw.Write(&settings, grid_);
    Profile::kMode.Write(&settings, mode_);
}

void CListAppearance::SetFont(const QFont& font) {
    font_.SetFont(font);
    emit fontChanged();
}

void CListAppearance::SetGridSwitch(int grid) {
    if (grid == grid_) return;
    grid_ = grid;
    emit gridChanged();
}
