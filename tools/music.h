// The show's music as a module, before it is written to "musa.mo3".
#pragma once

#include "tools/module_writer.h"

xm::Module composeMusic();
