#pragma once

#include "import/data.h"
#include "model/data.h"

// Makes destination hold one TQ-550 patch per earlier patch, in order: each is a freshly made patch whose
// bytes ConvertEarlierPatch rewrites from the earlier image, with the earlier patch's memos.
void ConvertEarlierPatches(const TQML::CPatchArray& source, CPatchArray& destination);
