#include "gp/layout/anchor_layout.h"

namespace GP {

namespace {

// The new edges [start, end) of a control on one axis whose container went from `original` to `current`
// pixels; mode is the axis part of the anchor code reduced to 0 (stay), 1 (follow the far side),
// 2 (stretch), 3 (near edge kept, far edge proportional), 4 (near edge proportional, far edge keeps its
// distance) or 5 (both edges proportional).
void PlaceAxis(int mode, int start, int end, int original, int current, int& newStart, int& newEnd) {
    const auto scale = [&](int position) {
        return original > 0 ? static_cast<int>(static_cast<long long>(position) * current / original)
                            : position;
    };
    const int delta = current - original;
    switch (mode) {
        case 1:
            newStart = start + delta;
            newEnd = end + delta;
            break;
        case 2:
            newStart = start;
            newEnd = end + delta;
            break;
        case 3:
            newStart = start;
            newEnd = scale(end);
            break;
        case 4:
            newStart = scale(start);
            newEnd = end + delta;
            break;
        case 5:
            newStart = scale(start);
            newEnd = scale(end);
            break;
        default:
            newStart = start;
            newEnd = end;
            break;
    }
}

int HorizontalMode(int code) {
    switch (code & ANCHOR_HORIZONTAL_MASK) {
        case 0x02:
            return 1;
        case 0x03:
            return 2;
        case 0x11:
            return 3;
        case 0x12:
            return 4;
        case 0x13:
            return 5;
        default:
            return 0;  // 0, 1 and 0x10
    }
}

int VerticalMode(int code) {
    switch (code & ANCHOR_VERTICAL_MASK) {
        case 0x08:
            return 1;
        case 0x0C:
            return 2;
        case 0x24:
            return 3;
        case 0x28:
            return 4;
        case 0x2C:
            return 5;
        default:
            return 0;  // 0, 4 and 0x20
    }
}

}  // namespace

void CAnchorLayout::Add(int id, QWidget* control, const QRect& original, int anchor) {
    if (Entry* entry = FindEntry(id)) {
        entry->control = control;
        entry->original = original;
        entry->anchor = anchor;
        return;
    }
    entries_.push_back(Entry{id, control, original, anchor});
}

bool CAnchorLayout::SetAnchor(int id, int anchor) {
    Entry* entry = FindEntry(id);
    if (!entry) return false;
    entry->anchor = anchor;
    return true;
}

int CAnchorLayout::Anchor(int id) const {
    const Entry* entry = FindEntry(id);
    return entry ? entry->anchor : 0;
}

QWidget* CAnchorLayout::Control(int id) const {
    const Entry* entry = FindEntry(id);
    return entry ? entry->control.data() : nullptr;
}

void CAnchorLayout::Apply(const QSize& clientSize) const {
    for (const Entry& entry : entries_)
        if (entry.control)
            entry.control->setGeometry(Compute(entry.original, entry.anchor, templateSize_, clientSize));
}

QRect CAnchorLayout::Compute(const QRect& original, int anchor, const QSize& templateSize,
                             const QSize& clientSize) {
    int left = 0, right = 0, top = 0, bottom = 0;
    PlaceAxis(HorizontalMode(anchor), original.left(), original.left() + original.width(),
              templateSize.width(), clientSize.width(), left, right);
    PlaceAxis(VerticalMode(anchor), original.top(), original.top() + original.height(), templateSize.height(),
              clientSize.height(), top, bottom);
    return QRect(left, top, right - left, bottom - top);
}

CAnchorLayout::Entry* CAnchorLayout::FindEntry(int id) {
    for (Entry& entry : entries_)
        if (entry.id == id) return &entry;
    return nullptr;
}

const CAnchorLayout::Entry* CAnchorLayout::FindEntry(int id) const {
    for (const Entry& entry : entries_)
        if (entry.id == id) return &entry;
    return nullptr;
}

}  // namespace GP
