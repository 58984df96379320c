// tuvero-contact-sheet DATA_DIR OUT.png: lays every generated picture out on one PNG.
#include "tools/contact_sheet.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tuvero-contact-sheet DATA_DIR OUT.png\n");
        return 2;
    }
    std::string error;
    if (!writeContactSheet(argv[1], argv[2], error)) {
        std::fprintf(stderr, "tuvero-contact-sheet: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
