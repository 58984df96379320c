// Per-vertex normals the slow way, for comparison: every face is tested for every vertex and
// each vertex sums its faces' vectors in face order. Vertices no face uses come out NaN.
#pragma once

#include "assets/model.h"

#include <vector>

inline void allPairsNormals(ModelObject& object) {
    std::vector<Vec3> faceVectors(object.faceCount);
    for (int j = 0; j < object.faceCount; ++j) {
        const std::int32_t* v = object.faces[j].vertexIndex;
        faceVectors[j] = vecCross(vecSubtract(object.vertices[v[0]], object.vertices[v[2]]),
                                  vecSubtract(object.vertices[v[2]], object.vertices[v[1]]));
    }
    object.normals.assign(object.vertexCount, Vec3{});
    for (int i = 0; i < object.vertexCount; ++i) {
        Vec3 sum{};
        int shared = 0;
        for (int j = 0; j < object.faceCount; ++j) {
            const std::int32_t* v = object.faces[j].vertexIndex;
            if (v[0] == i || v[1] == i || v[2] == i) {
                sum = vecAdd(sum, faceVectors[j]);
                ++shared;
            }
        }
        object.normals[i] = vecNormalize(vecDivide(sum, static_cast<float>(-shared)));
    }
}
