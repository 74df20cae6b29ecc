#include "platform/user_data_folder.h"

#include <cstdlib>

#include "platform/utf8_path.h"

#ifdef _WIN32
#include <windows.h>
// After windows.h:
#include <knownfolders.h>
#include <shlobj.h>
#endif

namespace fs = std::filesystem;

namespace {
#ifdef _WIN32
fs::path BaseFolder() {
    PWSTR folder = nullptr;
    fs::path base;
    if (SUCCEEDED(::SHGetKnownFolderPath(FOLDERID_RoamingAppData, KF_FLAG_DONT_VERIFY, nullptr, &folder)))
        base = fs::path(folder);
    ::CoTaskMemFree(folder);
    return base;
}
#else
// The value of an environment variable as a path; empty when it is not set or empty.
fs::path Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? fs::path(value) : fs::path();
}

fs::path BaseFolder() {
    fs::path home = Environment("HOME");
    if (home.empty()) home = fs::path("/");
#ifdef __APPLE__
    return home / "Library" / "Application Support";
#else
    // As Qt 6.4 does: the variable is taken as it is when set, relative or not.
    const fs::path data = Environment("XDG_DATA_HOME");
    if (!data.empty()) return data;
    return home / ".local" / "share";
#endif
}
#endif
}  // namespace

fs::path UserDataFolder(std::string_view organization, std::string_view application) {
    const fs::path base = BaseFolder();
    if (base.empty()) return {};
    return base / PathFromUtf8(organization) / PathFromUtf8(application);
}
