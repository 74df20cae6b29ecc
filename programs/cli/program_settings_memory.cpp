#include "cli/program_settings.h"

#include "settings/memory_settings_store.h"

void WithProgramSettings(const std::function<void(ISettingsStore&)>& use) {
    CMemorySettingsStore settings;
    use(settings);
}
