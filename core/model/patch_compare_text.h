#pragma once

#include <string>

#include "model/patch.h"
#include "model/patch_compare.h"

// The words of the plain-text comparison, English by default; a program in another language hands in its
// own. %1, %2, ... stand for the numbers and addresses named beside each.
struct PatchCompareLabels {
    std::string first = "Patch 1";
    std::string second = "Patch 2";
    std::string name = "Name";
    std::string memo = "Memo %1";  // %1: 1-4
    std::string same = "same";
    std::string different = "different";
    std::string identical = "The patches are identical.";
    std::string dataSame = "Data: the same";
    std::string dataDiffer = "Differing data bytes: %1; runs: %2";  // %1: bytes, %2: runs
    std::string run = "Address %1 to %2, chunk %3, length %4";      // %1, %2: first and last address
};

// The comparison of two patches as plain text, one item a line: both names, then either "The patches are
// identical." or whether the names and each memo differ and every run of differing data bytes with its
// address (the last two address bytes, from xx xx 00 00 of the patch) and chunk, and both runs' bytes in
// hex, sixteen to a line. Name bytes outside 20H-7EH show as '?'.
std::string RenderPatchComparison(const CPatch& first, const CPatch& second,
                                  const PatchComparison& comparison, const PatchCompareLabels& labels = {});

// Replaces %1, %2, ... in pattern with the arguments, in order.
std::string FormatLabel(const std::string& pattern, std::initializer_list<std::string> arguments);
