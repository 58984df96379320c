// The GL entry points of the drawing layer: the OpenGL ES 3.0 subset, declared by the desktop
// headers while the show still runs on a compatibility context. Only render/ includes this.
#pragma once

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
