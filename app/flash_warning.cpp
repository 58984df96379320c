#include "app/flash_warning.h"

std::string classicShowFlashWarning() {
    return "";
}
