// Meshes of simple solids, built once for the drawing layer.
#pragma once

#include "render/gfx.h"

// A sphere about the origin, in gfx::texturedLayout, as a list of triangles. It is cut into
// `slices` around the z axis and `stacks` along it, drawn from the stack at +z downwards.
// Texture coordinates: t from 0 at z = -radius to 1 at z = radius along each meridian; s from 0
// at the +y axis through 0.25 at -x, 0.5 at -y and 0.75 at +x to 1 at +y again.
struct SphereMesh {
    std::vector<float> vertices; // s, t, x, y, z
    std::vector<std::uint32_t> indices;
};
SphereMesh buildSphere(float radius, int slices, int stacks);
