// Meshes of the drawing layer: static ones in buffers of their own, and streamed vertices.
// Quads, which GL ES cannot draw, become two triangles each through an index buffer:
// (0, 1, 3) and (1, 2, 3), the split Mesa made of classic quads. The diagonal matters: a quad
// that is not a flat parallelogram on screen (the tunnel's twisted rails) interpolates its
// texture differently on either side of it.
#include "render/gfx_internal.h"

#include "platform/platform.h"

#include <cstddef>

namespace gfx {
namespace {

struct Stream {
    GLuint vertexArray = 0, vertexBuffer = 0, quadIndices = 0;
    int quadCapacity = 0; // quads the index buffer covers
};
Stream stream;
long drawCalls = 0;

std::vector<std::uint32_t> quadIndexList(int quads) {
    std::vector<std::uint32_t> indices;
    indices.reserve(static_cast<std::size_t>(quads) * 6);
    for (std::uint32_t q = 0; q < static_cast<std::uint32_t>(quads); ++q)
        for (std::uint32_t corner : {0u, 1u, 3u, 1u, 2u, 3u})
            indices.push_back(q * 4 + corner);
    return indices;
}

// Points the shader's attributes into the bound array buffer by `layout`; absent ones read
// their constant value (the colour comes from setColor).
void describe(const VertexLayout& layout) {
    const GLsizei stride = static_cast<GLsizei>(layout.stride * sizeof(float));
    auto attribute = [&](GLuint location, int offset, int size) {
        if (offset < 0) {
            glDisableVertexAttribArray(location);
            return;
        }
        glEnableVertexAttribArray(location);
        glVertexAttribPointer(location, size, GL_FLOAT, GL_FALSE, stride,
                              reinterpret_cast<const void*>(offset * sizeof(float)));
    };
    attribute(detail::positionAttribute, layout.position, layout.positionSize);
    attribute(detail::texCoordAttribute, layout.texCoord, 2);
    attribute(detail::colorAttribute, layout.color, 4);
    attribute(detail::texCoord1Attribute, layout.texCoord1, 2);
}

GLenum drawMode(Primitive primitive) {
    return primitive == Primitive::TriangleStrip ? GL_TRIANGLE_STRIP : GL_TRIANGLES;
}

// The stream's quad index buffer, grown to cover `quads` quads (bound to the stream's array).
void coverQuads(int quads) {
    if (quads <= stream.quadCapacity) return;
    int capacity = stream.quadCapacity ? stream.quadCapacity : 64;
    while (capacity < quads)
        capacity *= 2;
    const std::vector<std::uint32_t> indices = quadIndexList(capacity);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, stream.quadIndices);
    glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(indices.size() * sizeof(std::uint32_t)), indices.data(),
                 GL_STATIC_DRAW);
    stream.quadCapacity = capacity;
}

} // namespace

namespace detail {

void startMeshes() {
    stream = {};
    glGenVertexArrays(1, &stream.vertexArray);
    glGenBuffers(1, &stream.vertexBuffer);
    glGenBuffers(1, &stream.quadIndices);
    glBindVertexArray(stream.vertexArray);
    glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, stream.quadIndices);
    glBindVertexArray(0);
}

void stopMeshes() {
    glDeleteVertexArrays(1, &stream.vertexArray);
    glDeleteBuffers(1, &stream.vertexBuffer);
    glDeleteBuffers(1, &stream.quadIndices);
    stream = {};
}

} // namespace detail

Mesh createMesh(const VertexLayout& layout, const float* vertices, int vertexCount,
                Primitive primitive, const std::vector<std::uint32_t>& indices) {
    Mesh mesh;
    mesh.primitive = primitive;
    mesh.context = platform::contextGeneration();
    glGenVertexArrays(1, &mesh.vertexArray);
    glBindVertexArray(mesh.vertexArray);
    glGenBuffers(1, &mesh.vertexBuffer);
    glBindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(sizeof(float)) * layout.stride * vertexCount, vertices,
                 GL_STATIC_DRAW);
    describe(layout);
    const std::vector<std::uint32_t> quadList = primitive == Primitive::Quads && indices.empty()
                                                    ? quadIndexList(vertexCount / 4)
                                                    : std::vector<std::uint32_t>{};
    const std::vector<std::uint32_t>& used = quadList.empty() ? indices : quadList;
    mesh.count = used.empty() ? vertexCount : static_cast<int>(used.size());
    if (!used.empty()) {
        glGenBuffers(1, &mesh.indexBuffer);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, mesh.indexBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(used.size() * sizeof(std::uint32_t)), used.data(),
                     GL_STATIC_DRAW);
    }
    glBindVertexArray(0);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
    return mesh;
}

void updateMesh(const Mesh& mesh, const VertexLayout& layout, const float* vertices,
                int vertexCount) {
    glBindBuffer(GL_ARRAY_BUFFER, mesh.vertexBuffer);
    glBufferSubData(GL_ARRAY_BUFFER, 0,
                    static_cast<GLsizeiptr>(sizeof(float)) * layout.stride * vertexCount, vertices);
    glBindBuffer(GL_ARRAY_BUFFER, 0);
}

void VertexBatch::draw() {
    gfx::draw(texturedLayout, vertices.data(), static_cast<int>(vertices.size() / 5), primitive);
    vertices.clear();
}

bool meshAlive(const Mesh& mesh) {
    return mesh.vertexArray && mesh.context == platform::contextGeneration();
}

void deleteMesh(Mesh& mesh) {
    if (!meshAlive(mesh)) {
        mesh = {};
        return;
    }
    if (mesh.vertexArray) glDeleteVertexArrays(1, &mesh.vertexArray);
    if (mesh.vertexBuffer) glDeleteBuffers(1, &mesh.vertexBuffer);
    if (mesh.indexBuffer) glDeleteBuffers(1, &mesh.indexBuffer);
    mesh = {};
}

long drawCallCount() { return drawCalls; }

void draw(const Mesh& mesh) {
    if (!meshAlive(mesh) || mesh.count <= 0) return;
    ++drawCalls;
    detail::prepareDraw();
    glBindVertexArray(mesh.vertexArray);
    const GLenum mode =
        mesh.primitive == Primitive::Quads ? GL_TRIANGLES : drawMode(mesh.primitive);
    if (mesh.indexBuffer)
        glDrawElements(mode, mesh.count, GL_UNSIGNED_INT, nullptr);
    else
        glDrawArrays(mode, 0, mesh.count);
}

void draw(const VertexLayout& layout, const float* vertices, int vertexCount, Primitive primitive) {
    if (vertexCount <= 0) return;
    ++drawCalls;
    detail::prepareDraw();
    glBindVertexArray(stream.vertexArray);
    glBindBuffer(GL_ARRAY_BUFFER, stream.vertexBuffer);
    glBufferData(GL_ARRAY_BUFFER,
                 static_cast<GLsizeiptr>(sizeof(float)) * layout.stride * vertexCount, vertices,
                 GL_STREAM_DRAW);
    describe(layout);
    if (primitive == Primitive::Quads) {
        const int quads = vertexCount / 4;
        coverQuads(quads);
        glDrawElements(GL_TRIANGLES, quads * 6, GL_UNSIGNED_INT, nullptr);
    } else {
        glDrawArrays(drawMode(primitive), 0, vertexCount);
    }
}

} // namespace gfx
