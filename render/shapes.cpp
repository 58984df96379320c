#include "render/shapes.h"

#include <cmath>

SphereMesh buildSphere(float radius, int slices, int stacks) {
    SphereMesh sphere;
    const double pi = M_PI;
    for (int stack = 0; stack <= stacks; ++stack) {
        const double t = static_cast<double>(stack) / stacks;
        const double polar = pi * (1 - t); // from +z
        const double ring = std::sin(polar), z = std::cos(polar);
        for (int slice = 0; slice <= slices; ++slice) {
            const double s = static_cast<double>(slice) / slices;
            const double around = 2 * pi * s;
            const float position[3] = {static_cast<float>(radius * ring * std::sin(around)),
                                       static_cast<float>(radius * ring * std::cos(around)),
                                       static_cast<float>(radius * z)};
            sphere.vertices.insert(sphere.vertices.end(),
                                   {static_cast<float>(1 - s), static_cast<float>(t), position[0],
                                    position[1], position[2]});
        }
    }
    const std::uint32_t row = static_cast<std::uint32_t>(slices) + 1;
    // Translucent spheres show their far side through the near one: the order of the stacks
    // decides which covers which, so it stays fixed, from the top down.
    for (std::uint32_t stack = static_cast<std::uint32_t>(stacks); stack-- > 0;)
        for (std::uint32_t slice = 0; slice < static_cast<std::uint32_t>(slices); ++slice) {
            const std::uint32_t below = stack * row + slice, above = below + row;
            // Counter-clockwise seen from outside.
            sphere.indices.insert(sphere.indices.end(),
                                  {below, above + 1, below + 1, below, above, above + 1});
        }
    return sphere;
}
