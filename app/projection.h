// The one perspective projection of the run, over the whole picture.
#pragma once

// Viewport of the whole picture and the show's perspective (45 degrees, the screen's aspect).
void setupProjection();
