#include "assets/model.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>

Model models[2];

namespace {

bool validIndex(std::int32_t index, std::size_t vertexTotal) {
    return index >= 0 && static_cast<std::size_t>(index) < vertexTotal;
}

// vecNormalize(v), computed as such whenever the squared length is a normal float; vectors so
// short or long that it is not are first scaled by a power of two (exactly) so that the result
// is still a unit vector. Vectors without a direction (zero or not finite) give (0, 0, 0).
Vec3 unitOrZero(Vec3 v) {
    const float lengthSquared = v.z * v.z + v.y * v.y + v.x * v.x;
    if (lengthSquared >= FLT_MIN && lengthSquared <= FLT_MAX) return vecNormalize(v);
    if (!std::isfinite(v.x) || !std::isfinite(v.y) || !std::isfinite(v.z)) return {};
    const float largest = std::max({std::fabs(v.x), std::fabs(v.y), std::fabs(v.z)});
    if (largest == 0.0f) return {};
    const int exponent = std::ilogb(largest);
    return vecNormalize(
        {std::ldexp(v.x, -exponent), std::ldexp(v.y, -exponent), std::ldexp(v.z, -exponent)});
}

// One pass over the faces: each vertex accumulates the vectors of its faces in increasing face
// order, which gives the same sums, bit for bit, as testing every face for every vertex.
void computeObjectNormals(ModelObject& object) {
    const std::size_t vertexTotal =
        std::min(static_cast<std::size_t>(std::max(object.vertexCount, 0)), object.vertices.size());
    const std::size_t faceTotal =
        std::min(static_cast<std::size_t>(std::max(object.faceCount, 0)), object.faces.size());

    std::vector<Vec3> sums(vertexTotal);
    std::vector<std::int32_t> shared(vertexTotal, 0);
    for (std::size_t j = 0; j < faceTotal; ++j) {
        const std::int32_t* v = object.faces[j].vertexIndex;
        if (!validIndex(v[0], vertexTotal) || !validIndex(v[1], vertexTotal) ||
            !validIndex(v[2], vertexTotal))
            continue;
        const Vec3& p0 = object.vertices[v[0]];
        const Vec3& p1 = object.vertices[v[1]];
        const Vec3& p2 = object.vertices[v[2]];
        // Twice the triangle's area long, so larger triangles weigh more.
        const Vec3 faceVector = vecCross(vecSubtract(p0, p2), vecSubtract(p2, p1));
        for (int k = 0; k < 3; ++k) {
            const bool repeated = (k >= 1 && v[k] == v[0]) || (k == 2 && v[2] == v[1]);
            if (repeated) continue; // a face counts once for each vertex it names
            sums[v[k]] = vecAdd(sums[v[k]], faceVector);
            ++shared[v[k]];
        }
    }

    object.normals.assign(vertexTotal, Vec3{});
    for (std::size_t i = 0; i < vertexTotal; ++i) {
        if (shared[i] == 0) continue;
        // The negative divisor turns the normal to the side the corners run counter-clockwise.
        object.normals[i] = unitOrZero(vecDivide(sums[i], -static_cast<float>(shared[i])));
    }
}

template <typename T> void release(std::vector<T>& array) {
    std::vector<T>().swap(array);
}

} // namespace

void computeNormals(Model& model) {
    const std::size_t objectTotal =
        std::min(static_cast<std::size_t>(std::max(model.objectCount, 0)), model.objects.size());
    for (std::size_t i = 0; i < objectTotal; ++i)
        computeObjectNormals(model.objects[i]);
}

void releaseModel(Model& model) {
    const std::size_t objectTotal =
        std::min(static_cast<std::size_t>(std::max(model.objectCount, 0)), model.objects.size());
    for (std::size_t i = 0; i < objectTotal; ++i) {
        ModelObject& object = model.objects[i];
        release(object.faces);
        release(object.normals);
        release(object.vertices);
        release(object.texCoords);
    }
}
