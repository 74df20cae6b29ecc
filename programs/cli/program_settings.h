#pragma once

#include <functional>

#include "settings/settings_store.h"

// Lets use work on the per-user settings that the desktop program keeps too (company "Marlin", application
// "TQ-550 Librarian"), and writes them back afterwards. A build without Qt has no such store: use gets one
// that lasts for the call only.
void WithProgramSettings(const std::function<void(ISettingsStore&)>& use);
