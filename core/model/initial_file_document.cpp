#include "model/initial_file_document.h"

bool CInitialFileDocument::Load(const std::filesystem::path& path) {
    valid_ = false;
    if (!document_.Load(path)) return false;
    const CPatchArray& patches = document_.Patches();
    if (patches.IsEmpty()) return false;
    const CPatch& first = patches[0];
    const auto& sections = first.Sections();
    if (static_cast<int>(sections.size()) != first.GetSectionCount()) return false;
    for (std::size_t i = 0; i < sections.size(); ++i)
        if (static_cast<int>(sections[i].size()) != first.GetBlockCount(static_cast<int>(i))) return false;
    valid_ = true;
    return true;
}

const CPatch* CInitialFileDocument::GetFirstPatch() const {
    const CPatchArray& patches = document_.Patches();
    return patches.IsEmpty() ? nullptr : &patches[0];
}

void CInitialFileDocument::Reset() {
    valid_ = false;
    document_.Patches().RemoveAll();
}
