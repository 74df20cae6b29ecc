#include "cli/file_kinds.h"

#include <algorithm>
#include <cctype>
#include <iterator>

#include "cli/earlier_kinds.h"
#include "cli/library_kind.h"
#include "cli/smf_kind.h"
#include "cli/syx_kind.h"
#include "platform/utf8_path.h"

namespace {
const InputKind kInputKinds[] = {
    {"tql", ReadLibraryFile},      {"tqx", ReadEarlierLibraryFile},
    {"tq4-dump", ReadTq4BulkDump}, {"tq2-dump", ReadTq2BulkDump},
    {"smf", ReadSmfFile},          {"syx", ReadSyxFile},
};

const OutputKind kOutputKinds[] = {
    {"tql", ".tql", 0, WriteLibraryFile},
    {"smf", ".mid", USER_PATCH_COUNT, WriteSmfFile},
    {"syx", ".syx", USER_PATCH_COUNT, WriteSyxFile},
};

const char* const kInputKindNames[] = {"tql", "tqx", "tq4-dump", "tq2-dump", "smf", "syx"};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}
}  // namespace

bool IsInputKindName(const std::string& name) {
    return std::any_of(std::begin(kInputKindNames), std::end(kInputKindNames),
                       [&](const char* known) { return name == known; });
}

bool IsImportKind(const std::string& name) {
    return name == "tqx" || name == "tq4-dump" || name == "tq2-dump" || name == "syx";
}

const InputKind* FindInputKind(const std::string& name) {
    for (const InputKind& kind : kInputKinds)
        if (name == kind.name) return &kind;
    return nullptr;
}

const OutputKind* FindOutputKind(const std::string& name) {
    for (const OutputKind& kind : kOutputKinds)
        if (name == kind.name) return &kind;
    return nullptr;
}

const OutputKind* FindOutputKindByExtension(const std::filesystem::path& path) {
    const std::string extension = Lower(PathToUtf8(path.extension()));
    for (const OutputKind& kind : kOutputKinds)
        if (extension == kind.extension) return &kind;
    return nullptr;
}
