// tuvero-contact-sheet DATA_DIR OUT.png [NAME...]: lays every generated picture (or the named
// ones) out on one PNG.
#include "tools/contact_sheet.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: tuvero-contact-sheet DATA_DIR OUT.png [NAME...]\n");
        return 2;
    }
    std::string error;
    std::vector<std::string> only(argv + 3, argv + argc);
    if (!writeContactSheet(argv[1], argv[2], error, only)) {
        std::fprintf(stderr, "tuvero-contact-sheet: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
