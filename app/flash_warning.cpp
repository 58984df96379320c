#include "app/flash_warning.h"

// From `tuvero --flash-report` over the show as it ships; README.md states the same.
std::string classicShowFlashWarning() {
    return "tuvero: photosensitivity warning: 27 seconds of this show flicker more than three "
           "times a second (pillar hall, greetings); --gentle plays it with them toned down, "
           "and passes";
}
