// Writes the initial-data library installed with the programs: one patch named "INIT PATCH" whose bytes
// are the TQ-550 defaults that the import of earlier patches starts from, so that a new patch and an
// unconverted byte of an imported patch agree.

#include <cstdio>
#include <vector>

#include "import/convert_earlier_patch.h"
#include "model/file_document.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tq550-mkinitial OUT.tql\n");
        return 2;
    }
    // A list without initial data: its new patch starts zeroed.
    CFileDocument document;
    document.Patches().Resize(1);
    CPatch& patch = document.Patches()[0];
    std::vector<std::uint8_t> bytes(PATCH_BLOCK_SIZE, 0);
    patch.GetFlatData(bytes);
    WriteTq550Defaults(bytes);
    patch.SetFlatData(bytes);
    patch.SetName("INIT PATCH");
    if (!document.Save(argv[1])) {
        std::fprintf(stderr, "tq550-mkinitial: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
