// Whether the context offers what the drawing layer needs. Entry-point lookups cannot tell
// (SDL returns an address for any name), so the driver's version and a build of the layer's
// shader decide.
#pragma once

#include <string>

// `version` is GL_VERSION: "OpenGL ES major.minor ..." or desktop "major.minor[.release] ...".
// OpenGL ES 3.0 or later, or desktop OpenGL 3.0 or later; null or unreadable is not enough.
bool versionMeetsLayer(const char* version);

// Checks the current context and starts the drawing layer on it. False with `reason` naming
// what is missing.
bool startLayerOnContext(std::string& reason);
// Replaces the context's version string for the check (tests fake an old driver); nullptr
// restores it.
using VersionQuery = std::string (*)();
void setVersionQuery(VersionQuery query);
