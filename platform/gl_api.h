// The GL entry points of the drawing layer and the platform: OpenGL ES 3.0, which WebGL 2
// mirrors. Only render/ and platform/ include this.
#pragma once

#include <GLES3/gl3.h>
