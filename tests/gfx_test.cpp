// The drawing layer: its matrices against the classic definitions, and its shader's colour,
// texture, second-texture and fog arithmetic against pixels drawn on the software renderer.
#include "app/projection.h"
#include "render/gfx.h"
#include "render/matrix.h"
#include "render/shapes.h"
#include "tests/gl_test_support.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectPoint(const Mat4& matrix, std::initializer_list<float> point,
                 std::initializer_list<float> expected) {
    const float in[3] = {point.begin()[0], point.begin()[1], point.begin()[2]};
    float out[4];
    transformPoint(matrix, in, out);
    for (int i = 0; i < 4; ++i)
        EXPECT_NEAR(out[i], expected.begin()[i], 1e-5f) << "component " << i;
}

} // namespace

TEST(GfxMatrices, ProjectionsMatchTheClassicDefinitions) {
    // 45 degrees, 4:3, near 0.1, far 100: the show's projection.
    const Mat4 p = perspectiveMatrix(45, 4.0 / 3.0, 0.1, 100);
    const float f = 1 / std::tan(22.5f * float(M_PI) / 180);
    EXPECT_NEAR(p.at(0, 0), f * 0.75f, 1e-6f);
    EXPECT_NEAR(p.at(1, 1), f, 1e-6f);
    EXPECT_NEAR(p.at(2, 2), -100.1f / 99.9f, 1e-6f);
    EXPECT_NEAR(p.at(2, 3), -20.0f / 99.9f, 1e-6f);
    EXPECT_EQ(p.at(3, 2), -1);
    EXPECT_EQ(p.at(3, 3), 0);
    // The near plane's centre lands on depth -1, the far one's on +1.
    float out[4];
    const float nearPoint[3] = {0, 0, -0.1f}, farPoint[3] = {0, 0, -100};
    transformPoint(p, nearPoint, out);
    EXPECT_NEAR(out[2] / out[3], -1, 1e-5f);
    transformPoint(p, farPoint, out);
    EXPECT_NEAR(out[2] / out[3], 1, 1e-4f);

    // The 2D pass: origin top left, y down, z 0 at the near side.
    const Mat4 o = orthoMatrix(0, 640, 480, 0, 0, 1);
    expectPoint(o, {0, 0, 0}, {-1, 1, -1, 1});
    expectPoint(o, {640, 480, 0}, {1, -1, -1, 1});
    expectPoint(o, {320, 240, -1}, {0, 0, 1, 1});
}

TEST(GfxMatrices, LookAtRotateTranslateAndScaleComposeAsGlDid) {
    // Straight down -z from (0, 0, 5): a translation only.
    expectPoint(lookAtMatrix(0, 0, 5, 0, 0, 0, 0, 1, 0), {1, 2, 3}, {1, 2, -2, 1});
    // From (3, 0, 0) towards the origin, up tilted (not perpendicular): the eye goes to the
    // origin, the centre straight ahead, the given up straight up, +z to the left and up.
    const Mat4 view = lookAtMatrix(3, 0, 0, 0, 0, 0, 0, 1, 1);
    const float half = std::sqrt(0.5f);
    expectPoint(view, {3, 0, 0}, {0, 0, 0, 1});
    expectPoint(view, {0, 0, 0}, {0, 0, -3, 1});
    expectPoint(view, {3, half, half}, {0, 1, 0, 1});
    expectPoint(view, {3, 0, 1}, {-half, half, 0, 1});

    // Counter-clockwise about the axis, whatever its length.
    expectPoint(rotationMatrix(90, 0, 0, 2), {1, 0, 0}, {0, 1, 0, 1});
    expectPoint(rotationMatrix(90, 1, 0, 0), {0, 1, 0}, {0, 0, 1, 1});
    expectPoint(rotationMatrix(-90, 0, 1, 0), {1, 0, 0}, {0, 0, 1, 1});
    expectPoint(rotationMatrix(120, 1, 1, 1), {1, 0, 0}, {0, 1, 0, 1});
    expectPoint(rotationMatrix(30, 0, 0, 0), {1, 2, 3}, {1, 2, 3, 1});

    // Later transforms apply first, as after glTranslate then glRotate then glScale.
    const Mat4 composed =
        translationMatrix(10, 0, 0) * rotationMatrix(90, 0, 0, 1) * scaleMatrix(2, 1, 1);
    expectPoint(composed, {1, 0, 0}, {10, 2, 0, 1});
}

TEST(GfxMatrices, StacksRestoreWhatWasPushed) {
    gfx::resetMatrices();
    gfx::translate(1, 2, 3);
    const Mat4 before = gfx::modelView();
    gfx::pushMatrix();
    gfx::rotate(45, 0, 1, 0);
    gfx::scale(2, 2, 2);
    gfx::popMatrix();
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(gfx::modelView().m[i], before.m[i]);
    gfx::popMatrix(); // more pops than pushes leave the matrix as it is
    EXPECT_EQ(gfx::modelView().m[12], 1);

    const Mat4 perspective = perspectiveMatrix(45, 4.0 / 3.0, 0.1, 100);
    gfx::setProjection(perspective);
    gfx::pushProjection();
    gfx::setProjection(orthoMatrix(0, 640, 480, 0, 0, 1));
    gfx::popProjection();
    EXPECT_EQ(gfx::projection().m[0], perspective.m[0]);
    EXPECT_EQ(gfx::projection().m[11], -1);
    gfx::resetMatrices();
}

namespace {

// A fresh frame with the layer's defaults, identity matrices (vertices in clip space).
void prepareFrame() {
    ASSERT_TRUE(ensureGlContext());
    setupProjection();
    gfx::setProjection(Mat4::identity());
    gfx::setClearColor(0, 0, 0, 1);
    gfx::clear(true, true);
    gfx::setDepthTest(false);
    gfx::setBlend(false);
    gfx::setFog({});
    gfx::setColor(1, 1, 1, 1);
    gfx::bindTexture(0);
    gfx::setSecondTexture(0);
}

Texture texel(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const std::uint8_t rgb[3] = {r, g, b};
    std::string error;
    return gfx::createTexture(1, 1, rgb, false, error);
}

// The whole frame covered at eye distance `distance` (the identity projection when 0).
void drawCover(float distance = 0) {
    const float far = distance > 0 ? 10.0f : 1.0f, z = -distance;
    const float quad[] = {0, 0, -far, -far, z, 1, 0, far,  -far, z,
                          1, 1, far,  far,  z, 0, 1, -far, far,  z};
    gfx::draw(gfx::texturedLayout, quad, 4, gfx::Primitive::Quads);
}

void expectPixel(int x, int y, int r, int g, int b) {
    const Rgb pixel = pixelAt(x, y);
    EXPECT_NEAR(pixel.r, r, 1) << "at " << x << ", " << y;
    EXPECT_NEAR(pixel.g, g, 1) << "at " << x << ", " << y;
    EXPECT_NEAR(pixel.b, b, 1) << "at " << x << ", " << y;
}

} // namespace

TEST(GfxShader, ModulatesInterpolatesAndBlendsAsTheClassicPipeline) {
    prepareFrame();
    Texture first = texel(200, 100, 50), second = texel(0, 0, 250);

    // Modulate: texture times colour.
    gfx::bindTexture(first);
    gfx::setColor(0.5f, 1, 0.5f);
    drawCover();
    expectPixel(320, 240, 100, 100, 25);

    // The second texture interpolated by a constant over the modulated first.
    gfx::setSecondTexture(second, 0.25f);
    gfx::setColor(1, 1, 1);
    const float quad[] = {-1, -1, 0, 0, 0, 0, 1, -1, 0, 0, 1, 1, 1, 1, 0, 0, -1, 1, 0, 0};
    gfx::draw(gfx::VertexLayout{5, 0, 3, -1, -1, 3}, quad, 4, gfx::Primitive::Quads);
    expectPixel(320, 240, 150, 75, 100);
    gfx::setSecondTexture(0);

    // Untextured, blended at half opacity over what is there.
    gfx::bindTexture(0);
    gfx::setBlend(true);
    gfx::blendAlpha();
    gfx::setColor(1, 1, 1, 0.5f);
    drawCover();
    expectPixel(320, 240, 203, 165, 178);
    gfx::setBlend(false);
    gfx::setColor(1, 1, 1);

    // Vertex colours replace the constant one.
    const float coloured[] = {-1, -1, 0, 1, 0, 0, 1, 1,  -1, 0, 1, 0, 0, 1,
                              1,  1,  0, 1, 0, 0, 1, -1, 1,  0, 1, 0, 0, 1};
    gfx::draw(gfx::VertexLayout{7, 0, 3, -1, 3}, coloured, 4, gfx::Primitive::Quads);
    expectPixel(10, 10, 255, 0, 0);
    gfx::deleteTexture(first);
    gfx::deleteTexture(second);
    EXPECT_EQ(first, 0u);
}

TEST(GfxShader, FogsByTheEyeDistanceLinearlyAndByExp2) {
    prepareFrame();
    gfx::setProjection(perspectiveMatrix(45, 4.0 / 3.0, 0.1, 100));

    // exp2, density 0.1, 5 units away: exp(-0.25) of the colour, the rest black.
    gfx::Fog fog;
    fog.mode = gfx::FogMode::Exp2;
    fog.density = 0.1f;
    gfx::setFog(fog);
    drawCover(5);
    const int exp2 = static_cast<int>(std::lround(255 * std::exp(-0.25)));
    expectPixel(320, 240, exp2, exp2, exp2);
    expectPixel(2, 477, exp2, exp2, exp2); // the same distance to the eye plane in the corner

    // Linear from 4 to 10, 5 units away, blue fog: 5/6 of the colour.
    fog.mode = gfx::FogMode::Linear;
    fog.start = 4;
    fog.end = 10;
    fog.color[2] = 1;
    gfx::setFog(fog);
    gfx::setColor(1, 0, 0);
    drawCover(5);
    expectPixel(320, 240, 213, 0, 43);
    // Nearer than the start: no fog; beyond the end: all fog.
    drawCover(3);
    expectPixel(320, 240, 255, 0, 0);
    drawCover(20);
    expectPixel(320, 240, 0, 0, 255);
    gfx::setFog({});
    drawCover(20);
    expectPixel(320, 240, 255, 0, 0);
    gfx::setColor(1, 1, 1);
}

// Each combination of textures and fog draws with a program of its own: matrices, fog and the
// second texture's weight set while one draws must reach the next.
TEST(GfxShader, StateSetUnderOneVariantReachesTheOthers) {
    prepareFrame();
    Texture white = texel(255, 255, 255);
    gfx::setColor(1, 0, 0);
    drawCover(); // untextured: red everywhere
    gfx::translate(1, 0, 0);
    gfx::bindTexture(white);
    gfx::setColor(0, 0, 1);
    drawCover(); // textured, moved into the right half: blue there
    gfx::bindTexture(0);
    gfx::setColor(0, 1, 0);
    drawCover(); // untextured again, still moved: green on the right only
    expectPixel(100, 240, 255, 0, 0);
    expectPixel(540, 240, 0, 255, 0);

    gfx::loadIdentity();
    gfx::Fog fog;
    fog.mode = gfx::FogMode::Linear;
    fog.start = -1;
    fog.end = 1; // at eye distance 0: half fog
    gfx::setFog(fog);
    gfx::bindTexture(white);
    gfx::setColor(1, 1, 1);
    drawCover();
    expectPixel(320, 240, 128, 128, 128);
    gfx::bindTexture(0);
    drawCover();
    expectPixel(320, 240, 128, 128, 128);
    gfx::setFog({});
    gfx::deleteTexture(white);
}

// A quad is split on its 1-3 diagonal, as the classic pipeline split it: with only corner 0
// lit, the half beyond that diagonal stays black. (Split on 0-2, both halves would be lit.)
TEST(GfxMeshes, QuadsSplitOnTheDiagonalFromCorner1ToCorner3) {
    prepareFrame();
    const float quad[] = {-1, -1, 1, 1, 1, 1, 1,  -1, 0, 0, 0, 1,
                          1,  1,  0, 0, 0, 1, -1, 1,  0, 0, 0, 1};
    gfx::draw(gfx::VertexLayout{6, 0, 2, -1, 2}, quad, 4, gfx::Primitive::Quads);
    expectPixel(480, 120, 0, 0, 0);   // three quarters along 0-2, beyond the 1-3 diagonal
    const Rgb lit = pixelAt(40, 460); // near corner 0
    EXPECT_GT(lit.r, 200);
}

TEST(GfxMeshes, StaticMeshesAndTexturesKeepTheirContents) {
    prepareFrame();
    // A quad in the left half from a static mesh, an indexed triangle pair in the right half.
    const float left[] = {-1, -1, 0, -1, 0, 1, -1, 1};
    gfx::Mesh quad = gfx::createMesh(gfx::VertexLayout{2, 0, 2}, left, 4, gfx::Primitive::Quads);
    const float right[] = {0, -1, 1, 1, 0, 1, 1, -1, 1, 1, 0, 1, 1, 1, 1, 1, 0, 1};
    gfx::Mesh pair = gfx::createMesh(gfx::VertexLayout{6, 0, 2, -1, 2}, right, 3,
                                     gfx::Primitive::Triangles, {0, 1, 2});
    gfx::setColor(0, 1, 0);
    gfx::draw(quad);
    gfx::draw(pair);
    gfx::setColor(1, 1, 1);
    expectPixel(100, 240, 0, 255, 0);
    expectPixel(630, 470, 255, 255, 0); // inside the right triangle
    expectPixel(330, 10, 0, 0, 0);      // outside both
    gfx::deleteMesh(quad);
    gfx::deleteMesh(pair);
    EXPECT_EQ(quad.vertexArray, 0u);
    gfx::draw(quad); // a deleted mesh draws nothing

    // Rows of odd byte length come back as they went in, row 0 first.
    const std::uint8_t rgb[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    std::string error;
    Texture texture = gfx::createTexture(3, 2, rgb, true, error);
    ASSERT_NE(texture, 0u) << error;
    EXPECT_EQ(gfx::readTexture(texture), std::vector<std::uint8_t>(rgb, rgb + 18));
    const gfx::TextureInfo info = gfx::textureInfo(texture);
    EXPECT_TRUE(info.width == 3 && info.height == 2 && info.mipmaps);
    EXPECT_EQ(info.minFilter, gfx::Filter::LinearMipmapNearest);
    gfx::setTextureFilters(texture, gfx::Filter::Nearest, gfx::Filter::Nearest);
    EXPECT_EQ(gfx::textureInfo(texture).magFilter, gfx::Filter::Nearest);
    gfx::deleteTexture(texture);
    EXPECT_EQ(gfx::textureInfo(texture).width, 0);
}

TEST(GfxShapes, TheSphereIsClosedFacesOutwardsAndIsMappedAsBefore) {
    const SphereMesh sphere = buildSphere(0.5f, 20, 20);
    ASSERT_EQ(sphere.vertices.size(), 21u * 21u * 5u);
    ASSERT_EQ(sphere.indices.size(), 20u * 20u * 6u);
    auto vertex = [&](std::uint32_t index) { return &sphere.vertices[index * 5]; };
    for (std::size_t v = 0; v < sphere.vertices.size(); v += 5) {
        const float* p = &sphere.vertices[v + 2];
        EXPECT_NEAR(std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]), 0.5f, 1e-5f);
        // t climbs evenly along each meridian, from the bottom to the top.
        EXPECT_NEAR(sphere.vertices[v + 1], 1 - std::acos(2 * p[2]) / float(M_PI), 1e-4f);
    }
    // s: 0 at +y, a quarter at -x, half at -y, three quarters at +x (on the equator).
    for (std::uint32_t i = 0; i < 21 * 21; ++i) {
        const float* v = vertex(i);
        if (std::fabs(v[4]) > 1e-4f) continue;
        const float s = v[0], x = v[2], y = v[3];
        if (std::fabs(s - 0.25f) < 1e-4f) {
            EXPECT_NEAR(x, -0.5f, 1e-4f);
        } else if (std::fabs(s - 0.5f) < 1e-4f) {
            EXPECT_NEAR(y, -0.5f, 1e-4f);
        } else if (std::fabs(s - 0.75f) < 1e-4f) {
            EXPECT_NEAR(x, 0.5f, 1e-4f);
        }
    }
    // Every triangle is counter-clockwise seen from outside (or degenerate at a pole), and the
    // top stack comes first: translucent spheres depend on that order.
    for (std::size_t i = 0; i < sphere.indices.size(); i += 3) {
        const float *a = vertex(sphere.indices[i]) + 2, *b = vertex(sphere.indices[i + 1]) + 2,
                    *c = vertex(sphere.indices[i + 2]) + 2;
        const float u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
        const float w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
        const float normal[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                                 u[0] * w[1] - u[1] * w[0]};
        const float centre[3] = {a[0] + b[0] + c[0], a[1] + b[1] + c[1], a[2] + b[2] + c[2]};
        EXPECT_GE(normal[0] * centre[0] + normal[1] * centre[1] + normal[2] * centre[2], -1e-7f)
            << "triangle " << i / 3;
    }
    EXPECT_GT(vertex(sphere.indices[0])[4] + vertex(sphere.indices[2])[4], 0.9f);
}
