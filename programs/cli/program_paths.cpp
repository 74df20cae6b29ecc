#include "cli/program_paths.h"

#include <system_error>

namespace fs = std::filesystem;

#ifndef TQ_INSTALLED_DATA_DIR
#define TQ_INSTALLED_DATA_DIR ""
#endif

fs::path ProgramFolder() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : self.parent_path();
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
