// Quads sent pre-transformed must land on exactly the pixels that one glTranslatef per quad
// gives, on the renderer the show runs on.
#include "render/exact_transform.h"
#include "tests/gl_test_support.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

class ExactTransform : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!ensureGlContext()) GTEST_SKIP() << "no display";
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }
    void TearDown() override {
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glColor4f(1, 1, 1, 1);
        glViewport(0, 0, 640, 480);
        glLoadIdentity();
    }
};

// A random view of the kind the show uses: a look-at camera and turns about the three axes.
void loadRandomView(std::mt19937& random) {
    std::uniform_real_distribution<float> offset(-12, 12), angle(0, 360);
    glLoadIdentity();
    gluLookAt(offset(random), offset(random), 25.63, 0, 0, 0, 0, 1, 0);
    glRotatef(angle(random), 1, 0, 0);
    glRotatef(angle(random), 0, 1, 0);
    glRotatef(angle(random), 0, 0, 1);
}

bool sameBits(const Matrix4& a, const Matrix4& b) {
    return std::memcmp(a.data(), b.data(), sizeof(float) * 16) == 0;
}

// A face of 20 x 20 tiles flying apart by distance d, as the last interlude draws it.
std::vector<TranslatedQuad> flyingTiles(float d) {
    std::vector<TranslatedQuad> tiles;
    float e = 0;
    for (int column = 0; column < 20; ++column, e += 0.05f) {
        float f = 0;
        for (int row = 0; row < 20; ++row, f += 0.05f)
            tiles.push_back({{2 * (e - 0.5f) * d, 2 * (0.5f - f) * d, d},
                             {0, 0, 1},
                             {{e, f}, {e + 0.05f, f}, {e + 0.05f, f + 0.05f}, {e, f + 0.05f}},
                             {{4 * e - 2, 2 - 4 * f, 2},
                              {4 * e - 1.8f, 2 - 4 * f, 2},
                              {4 * e - 1.8f, 1.8f - 4 * f, 2},
                              {4 * e - 2, 1.8f - 4 * f, 2}}});
    }
    return tiles;
}

void drawOneByOne(const std::vector<TranslatedQuad>& quads) {
    for (const TranslatedQuad& q : quads) {
        glPushMatrix();
        glTranslatef(q.translation[0], q.translation[1], q.translation[2]);
        glBegin(GL_QUADS);
        glNormal3fv(q.normal);
        for (int c = 0; c < 4; ++c) {
            glTexCoord2fv(q.texCoords[c]);
            glVertex3fv(q.corners[c]);
        }
        glEnd();
        glPopMatrix();
    }
}

// Noise, so that any shift of a texture coordinate or an edge changes some pixel.
GLuint noiseTexture() {
    std::mt19937 random(3);
    std::vector<std::uint8_t> texels(256 * 256 * 3);
    for (auto& t : texels)
        t = static_cast<std::uint8_t>(random());
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, 256, 256, GL_RGB, GL_UNSIGNED_BYTE, texels.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    return name;
}

// The 512 x 480 viewport the interlude draws its cube into, top row first.
std::vector<std::uint8_t> viewportPixels() {
    std::vector<std::uint8_t> picture = offscreenPicture();
    std::vector<std::uint8_t> area;
    for (int y = 0; y < 480; ++y)
        area.insert(area.end(), picture.begin() + y * 640 * 3,
                    picture.begin() + y * 640 * 3 + 512 * 3);
    return area;
}

} // namespace

TEST_F(ExactTransform, MatricesMatchTheGlBitForBit) {
    std::mt19937 random(1);
    std::uniform_real_distribution<float> move(-30, 30);
    for (int i = 0; i < 500; ++i) {
        loadRandomView(random);
        const Matrix4 before = currentMatrix(GL_MODELVIEW_MATRIX);
        const float x = move(random), y = move(random), z = move(random);
        glTranslatef(x, y, z);
        ASSERT_TRUE(sameBits(translated(before, x, y, z), currentMatrix(GL_MODELVIEW_MATRIX)))
            << "case " << i;
    }
}

TEST_F(ExactTransform, QuadsAreClassifiedAgainstTheViewVolume) {
    auto side = [](std::initializer_list<ClipPoint> points) {
        return classify(points.begin(), static_cast<int>(points.size()));
    };
    EXPECT_EQ(side({{0, 0, 0, 1}, {0.5f, -0.5f, 0.9f, 1}}), ClipSide::Inside);
    // On a plane is not strictly inside: the clipper may take it.
    EXPECT_EQ(side({{0, 0, 0, 1}, {1, 0, 0, 1}}), ClipSide::Crossing);
    EXPECT_EQ(side({{2, 0, 0, 1}, {3, 5, 0, 1}}), ClipSide::Outside);
    EXPECT_EQ(side({{0, 0, 2, 1}, {0, 0, 3, 1}}), ClipSide::Outside);
    // Beyond different planes, the polygon may still cross the view.
    EXPECT_EQ(side({{2, 0, 0, 1}, {-2, 0, 0, 1}}), ClipSide::Crossing);
    // Behind the eye nothing is certain.
    EXPECT_EQ(side({{0, 0, 0, -1}, {0, 0, 0, 1}}), ClipSide::Crossing);
    EXPECT_EQ(side({{5, 0, 0, -1}, {5, 0, 0, -1}}), ClipSide::Crossing);
}

// The whole explosion's range of distances and many views, with blending on so that the order
// of the quads counts too.
TEST_F(ExactTransform, TranslatedQuadsGiveThePixelsOfOneTranslationEach) {
    const GLuint texture = noiseTexture();
    glViewport(0, 0, 512, 480);
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(1.3f, 0.7f, 0.7f, 0.6f);
    std::mt19937 random(2);
    int counts[3] = {};
    for (int i = 0; i < 40; ++i) {
        const float d = 0.75f * static_cast<float>(i);
        const std::vector<TranslatedQuad> tiles = flyingTiles(d);
        loadRandomView(random);

        const Matrix4 projection = currentMatrix(GL_PROJECTION_MATRIX);
        const Matrix4 view = currentMatrix(GL_MODELVIEW_MATRIX);
        for (const TranslatedQuad& q : tiles) {
            const Matrix4 mvp = modelViewProjection(
                projection, translated(view, q.translation[0], q.translation[1], q.translation[2]));
            ClipPoint corners[4];
            for (int c = 0; c < 4; ++c)
                corners[c] = toClipSpace(mvp, q.corners[c][0], q.corners[c][1], q.corners[c][2]);
            ++counts[static_cast<int>(classify(corners, 4))];
        }

        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawOneByOne(tiles);
        const std::vector<std::uint8_t> expected = viewportPixels();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        drawTranslatedQuads(tiles.data(), tiles.size());
        const std::vector<std::uint8_t> actual = viewportPixels();
        ASSERT_EQ(expected, actual) << "distance " << d << ", view " << i;
    }
    // The views must have tried all three ways of drawing a quad.
    EXPECT_GT(counts[static_cast<int>(ClipSide::Inside)], 1000);
    EXPECT_GT(counts[static_cast<int>(ClipSide::Outside)], 100);
    EXPECT_GT(counts[static_cast<int>(ClipSide::Crossing)], 10);
    glDeleteTextures(1, &texture);
}
