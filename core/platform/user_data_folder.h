#pragma once

#include <filesystem>
#include <string_view>

// The folder where an application keeps its own data for the user, named as the desktop program's Qt names
// its AppDataLocation for the same organisation and application, so that programs without Qt find the same
// files: $XDG_DATA_HOME (or ~/.local/share) followed by organization/application on Linux and other Unix
// systems, ~/Library/Application Support/organization/application on macOS, and the roaming application
// data folder (%APPDATA%) followed by organization\application on Windows. The folder may not exist yet;
// empty when no home folder is known.
std::filesystem::path UserDataFolder(std::string_view organization, std::string_view application);
