// Anisotropic filtering of the mipmapped pictures, where the driver has it: sharper floors,
// walls and tunnel seen at a slant. Off until the show turns it on (the classic look has none).
#pragma once

void useAnisotropicFiltering(bool on);
// Applies the chosen filtering to the texture bound to GL_TEXTURE_2D (after its mipmaps).
void applyAnisotropicFiltering();
