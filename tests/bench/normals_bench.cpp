// computeNormals on the largest object a 3DS file holds (65,535 vertices, here 100,000 faces)
// against testing every face for every vertex.
#include "assets/model.h"
#include "tests/normals_all_pairs.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace {

constexpr int columns = 255;
constexpr int rows = 257; // columns x rows = 65,535 vertices
constexpr int faces = 100000;

// A wavy sheet of triangles, two per grid cell, row after row.
Model sheet() {
    ModelObject object;
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            object.vertices.push_back(
                {float(c), float(r), std::sin(c * 0.1f) * std::cos(r * 0.07f)});
    for (int r = 0; r + 1 < rows && int(object.faces.size()) < faces; ++r)
        for (int c = 0; c + 1 < columns && int(object.faces.size()) < faces; ++c) {
            const int v = r * columns + c;
            object.faces.push_back({{v, v + 1, v + columns}});
            if (int(object.faces.size()) < faces)
                object.faces.push_back({{v + 1, v + columns + 1, v + columns}});
        }
    object.vertexCount = int(object.vertices.size());
    object.faceCount = int(object.faces.size());
    Model model;
    model.objects.push_back(std::move(object));
    model.objectCount = 1;
    return model;
}

void onePass(benchmark::State& state) {
    Model model = sheet();
    for (auto _ : state) {
        computeNormals(model);
        benchmark::DoNotOptimize(model.objects[0].normals.data());
    }
    state.counters["vertices"] = model.objects[0].vertexCount;
    state.counters["faces"] = model.objects[0].faceCount;
}
BENCHMARK(onePass)->Unit(benchmark::kMillisecond);

void allPairs(benchmark::State& state) {
    Model model = sheet();
    for (auto _ : state) {
        allPairsNormals(model.objects[0]);
        benchmark::DoNotOptimize(model.objects[0].normals.data());
    }
}
BENCHMARK(allPairs)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
