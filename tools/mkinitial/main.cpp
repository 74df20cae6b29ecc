// Writes the initial-data library installed with the programs: one patch named "INIT PATCH".

#include <cstdio>

#include "model/file_document.h"
#include "model/initial_file_document.h"
#include "textout/text_out_hub.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: tq550-mkinitial OUT.tql\n");
        return 2;
    }
    GetInitialFileDocument().Reset();
    CFileDocument document;
    document.Patches().Resize(1);
    if (!document.Save(argv[1])) {
        std::fprintf(stderr, "tq550-mkinitial: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
