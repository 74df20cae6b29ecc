#pragma once

#include <vector>

#include "model/data.h"

// The positions of every patch whose 2178 data bytes (name included, each patch as the device holds it)
// equal those of a patch above it in the list, in list order. Memos do not count. Patches are grouped by a
// hash of their bytes and compared byte for byte only within a group, so the time grows with the list's
// length, not with its square.
std::vector<int> FindDuplicates(const CPatchArray& patches);
