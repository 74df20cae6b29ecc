// Writes the initial-data library installed with the programs: one patch named "INIT PATCH" whose bytes
// are the TQ-550 defaults that the import of earlier patches starts from, so that a new patch and an
// unconverted byte of an imported patch agree.

#include <cstdio>
#include <string>
#include <vector>

#include "import/convert_earlier_patch.h"
#include "model/file_document.h"
#include "platform/program_arguments.h"
#include "platform/utf8_path.h"

int main(int argc, char** argv) {
    const std::vector<std::string> words = ProgramArguments(argc, argv);
    if (words.size() != 1) {
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
    if (!document.Save(PathFromUtf8(words[0]))) {
        std::fprintf(stderr, "tq550-mkinitial: cannot write %s\n", words[0].c_str());
        return 1;
    }
    return 0;
}
