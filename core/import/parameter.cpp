#include "import/parameter.h"

#include "model/parameter.h"

namespace TQML {

void CParameter::Reset() {
    ClearMemos();
}

void CParameter::ClearMemos() {
    for (std::string& memo : memos_)
        memo.clear();
}

std::size_t CParameter::StreamSize() const {
    std::size_t size = kMemoCount;
    for (const std::string& memo : memos_)
        size += memo.size();
    return size;
}

int CParameter::Compare(int key, const CParameter& other, unsigned ownIndex, unsigned otherIndex) const {
    const int position = ownIndex < otherIndex ? -1 : (ownIndex == otherIndex ? 0 : 1);
    if (key == 0) return position;
    std::string own;
    std::string theirs;
    if (key == 1) {
        own = GetName();
        theirs = other.GetName();
    } else if (key >= 2 && key <= 5) {
        own = GetMemo(key - 2);
        theirs = other.GetMemo(key - 2);
    }
    return ::CompareTexts(own, theirs, position);
}

}  // namespace TQML
