// Whether the driver offers multitexturing: OpenGL 1.3 or later, or GL_ARB_multitexture among
// its extensions. Entry-point lookups cannot tell: SDL returns an address for any name.
#pragma once

// `version` is the GL_VERSION string ("major.minor[.release] [vendor text]"), `extensions` the
// space-separated GL_EXTENSIONS list; either may be null.
bool reportsMultitexture(const char* version, const char* extensions);

// The context's answer, read through the query below (glGetString unless replaced).
bool driverHasMultitexture();
// Replaces glGetString for driverHasMultitexture (tests fake a driver); nullptr restores it.
using GlStringQuery = const char* (*)(unsigned name);
void setGlStringQuery(GlStringQuery query);
