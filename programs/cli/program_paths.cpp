#include "cli/program_paths.h"

#include <cstdint>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#elif defined(__APPLE__)
#include <mach-o/dyld.h>
#endif

namespace fs = std::filesystem;

#ifndef TQ_INSTALLED_DATA_DIR
#define TQ_INSTALLED_DATA_DIR ""
#endif

namespace {
fs::path ProgramFile() {
#ifdef _WIN32
    // The wide call: a folder name outside the ANSI code page is kept.
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) return fs::path(name.substr(0, length));
        if (name.size() >= 32768) return {};
        name.resize(name.size() * 2);
    }
#elif defined(__APPLE__)
    std::uint32_t size = 0;
    _NSGetExecutablePath(nullptr, &size);
    std::string name(size, '\0');
    if (_NSGetExecutablePath(name.data(), &size) != 0) return {};
    name.resize(name.find('\0'));
    std::error_code ec;
    const fs::path resolved = fs::canonical(name, ec);
    return ec ? fs::path() : resolved;
#else
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self;
#endif
}
}  // namespace

fs::path ProgramFolder() {
    return ProgramFile().parent_path();
}

fs::path FindDataFile(const fs::path& relative) {
    std::error_code ec;
    for (const fs::path& folder : {ProgramFolder(), fs::path(TQ_INSTALLED_DATA_DIR)}) {
        if (folder.empty()) continue;
        fs::path candidate = folder / relative;
        if (fs::is_regular_file(candidate, ec)) return candidate;
    }
    return {};
}
