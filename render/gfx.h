// The drawing layer: the only way the show draws. It offers what the scenes need and no more,
// over calls that OpenGL ES 3.0, WebGL 2 and desktop GL all have:
// - matrices of its own (a projection and a model-view stack with push and pop);
// - meshes: static ones kept in buffers, and streamed vertices for what changes every frame;
// - textures with mip-maps, and copying the frame into a texture;
// - blend, depth, culling and colour state;
// - one shader doing what the classic fixed-function state did: vertex colour modulated by a
//   texture, a second texture interpolated over it by a constant, linear and exp2 fog;
// - clear, viewport and scissor.
// Every call needs the context made by the platform layer to be current, and start() first.
#pragma once

#include "assets/texture.h"
#include "render/matrix.h"
#include <cstdint>
#include <string>
#include <vector>

namespace gfx {

// ---- Start and stop --------------------------------------------------------------------

// Builds the shader and the stream buffers of the current context. False with `error` set
// when the context cannot build them. Calling it again for the same context is harmless; a
// new context (the window was closed and opened again) gets everything anew.
bool start(std::string& error);
// Releases what start made (the context must still be current); safe without a start.
void stop();
bool started();
// The context's GL_VERSION and GL_RENDERER strings ("" when there is none).
std::string contextVersion();
std::string rendererName();

// ---- Matrices --------------------------------------------------------------------------

void setProjection(const Mat4& projection);
const Mat4& projection();
void pushProjection();
void popProjection();

const Mat4& modelView();
void loadIdentity();
void loadMatrix(const Mat4& matrix);
void multiplyMatrix(const Mat4& matrix); // appended: applied to vertices first
void translate(float x, float y, float z);
void rotate(float degrees, float x, float y, float z);
void scale(float x, float y, float z);
void pushMatrix();
void popMatrix();
// Identity model-view with an empty stack, and no pushed projection (tests, a new run).
void resetMatrices();

// ---- State -----------------------------------------------------------------------------

// The colour of vertices that bring none.
void setColor(float red, float green, float blue, float alpha = 1);
enum class BlendFactor { Zero, One, SrcAlpha, OneMinusSrcAlpha, DstColor };
void setBlend(bool on);
void setBlendFunction(BlendFactor source, BlendFactor destination);
// The usual translucency: source alpha over one minus source alpha.
void blendAlpha();
void setDepthTest(bool on);
// Less (the default) or less-or-equal, for passes that draw again over the same surfaces.
void setDepthLessOrEqual(bool on);
void setCulling(bool on);
// Which winding faces the eye: counter-clockwise (the default) or clockwise.
void setFrontClockwise(bool clockwise);

enum class FogMode { Off, Linear, Exp2 };
struct Fog {
    FogMode mode = FogMode::Off;
    float color[4] = {0, 0, 0, 0};
    float density = 1; // Exp2: factor exp(-(density * distance)^2)
    float start = 0;   // Linear: factor (end - distance) / (end - start)
    float end = 1;
};
// Fog by the distance from the eye plane, worked out per pixel.
void setFog(const Fog& fog);
const Fog& fog();

// ---- Targets ---------------------------------------------------------------------------

void setClearColor(float red, float green, float blue, float alpha);
void clear(bool color, bool depth);
void setViewport(int x, int y, int width, int height);
void setScissor(bool on, int x = 0, int y = 0, int width = 0, int height = 0);
bool scissorOn();
// The scissor box: x, y, width, height.
void scissorBox(int box[4]);

// What the context's fixed state is now, read back from GL (tests, checks of what a step
// leaves behind).
struct StateReport {
    bool blend = false, depthTest = false, depthLessOrEqual = false, culling = false;
    bool frontClockwise = false, scissor = false;
    int viewport[4] = {0, 0, 0, 0};
    bool operator==(const StateReport&) const = default;
};
StateReport currentState();
float currentColor(int component); // the colour set by setColor, 0 red to 3 alpha

// ---- Textures --------------------------------------------------------------------------

enum class Filter { Nearest, Linear, LinearMipmapNearest };
struct TextureInfo {
    int width = 0, height = 0;
    Filter minFilter = Filter::Linear, magFilter = Filter::Linear;
    bool mipmaps = false;
};
// An RGB texture from packed rows (top row first as given: row 0 is t = 0). With mipmaps the
// smaller levels are built by GL and read LinearMipmapNearest; without, read Linear. Null
// pixels make a black texture. Returns 0 and sets `error` on failure (out of memory).
Texture createTexture(int width, int height, const std::uint8_t* rgb, bool mipmaps,
                      std::string& error);
void deleteTexture(Texture& texture); // sets it to 0
void deleteTextures(Texture* textures, int count);
void setTextureFilters(Texture texture, Filter minFilter, Filter magFilter);
TextureInfo textureInfo(Texture texture);
// The longest texture side the context takes.
int maxTextureSide();
// Whether `texture` names a texture of the context.
bool isTexture(Texture texture);
// Anisotropic filtering of mip-mapped textures made from now on, where the driver has it.
void useAnisotropicFiltering(bool on);
// Copies the bottom-left width x height pixels of the read framebuffer into `texture` at (0,0).
void copyReadFrameIntoTexture(Texture texture, int width, int height);
// Level 0 of `texture`, top row (t = 0) first, RGB (tests).
std::vector<std::uint8_t> readTexture(Texture texture);

// The texture modulating vertex colours; 0 draws untextured.
void bindTexture(Texture texture);
// A second texture laid over the first by a constant: result = first * (1 - alpha) + second *
// alpha (alpha of the first stays). 0 turns it off.
void setSecondTexture(Texture texture, float alpha = 0);

// ---- Meshes ----------------------------------------------------------------------------

enum class Primitive { Triangles, TriangleStrip, Quads };
// Where each attribute lies in a vertex of `stride` floats; -1 for absent. Positions have
// `positionSize` (2 or 3) floats; colours 4.
struct VertexLayout {
    int stride = 3;
    int position = 0;
    int positionSize = 3;
    int texCoord = -1;
    int color = -1;
    int texCoord1 = -1;
};
// Interleaved s, t, x, y, z.
constexpr VertexLayout texturedLayout{5, 2, 3, 0, -1, -1};
// Interleaved s, t, x, y (2D passes).
constexpr VertexLayout textured2dLayout{4, 2, 2, 0, -1, -1};
// Interleaved s, t, nx, ny, nz, x, y, z (normals are carried, lighting is off).
constexpr VertexLayout texturedNormalLayout{8, 5, 3, 0, -1, -1};

// Vertices kept in a buffer of their own, drawn many times.
struct Mesh {
    unsigned vertexArray = 0, vertexBuffer = 0, indexBuffer = 0;
    int count = 0; // vertices, or indices when indexed
    Primitive primitive = Primitive::Triangles;
    int context = -1; // the context it was made in
};
// Whether the mesh was made, and in the current context (a mesh of a closed one is gone).
bool meshAlive(const Mesh& mesh);
Mesh createMesh(const VertexLayout& layout, const float* vertices, int vertexCount,
                Primitive primitive, const std::vector<std::uint32_t>& indices = {});
// New contents for a mesh made from `vertexCount` vertices of the same layout (the indices stay).
void updateMesh(const Mesh& mesh, const VertexLayout& layout, const float* vertices,
                int vertexCount);
void deleteMesh(Mesh& mesh);
void draw(const Mesh& mesh);
// Vertices that change every frame: copied into a stream buffer and drawn at once.
void draw(const VertexLayout& layout, const float* vertices, int vertexCount, Primitive primitive);

// Draw calls made since start, for the benchmark: each costs more in a browser, where WebGL
// checks and forwards it, than on the desktop.
long drawCallCount();

// Vertices gathered one by one in texturedLayout (s, t, x, y, z), then streamed in one draw:
// the shape of classic begin / end drawing, without its call per vertex.
class VertexBatch {
  public:
    explicit VertexBatch(Primitive primitive) : primitive(primitive) {}
    void vertex(float s, float t, float x, float y, float z = 0) {
        vertices.insert(vertices.end(), {s, t, x, y, z});
    }
    // Draws what was gathered and starts empty again.
    void draw();

  private:
    Primitive primitive;
    std::vector<float> vertices;
};

} // namespace gfx
