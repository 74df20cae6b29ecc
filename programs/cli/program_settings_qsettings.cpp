#include "cli/program_settings.h"

#include "qsettings/qsettings_store.h"

void WithProgramSettings(const std::function<void(ISettingsStore&)>& use) {
    CQSettingsStore settings;
    use(settings);
    settings.Sync();
}
