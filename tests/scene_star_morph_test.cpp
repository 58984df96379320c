// Star morph on the virtual clock: timeline, morph clamping, and what is drawn of star files
// that cannot be blended.
#include "assets/model.h"
#include "scenes/star_morph.h"
#include "tests/scene_test_support.h"

namespace {

constexpr std::uint32_t firstTick = 500000;

// A model of `objectCount` objects, each a big triangle facing the viewer `faceCount` times
// over. `reversed` stores the corners as 0, 2, 1, the winding the scene pairs with.
Model triangleModel(int objectCount = 1, int faceCount = 1, bool reversed = false) {
    Model model;
    for (int j = 0; j < objectCount; ++j) {
        ModelObject object;
        object.vertices = {{-6, -6, 0}, {6, -6, 0}, {0, 6, 0}};
        object.normals = {{0, 0, 1}, {0, 0, 1}, {0, 0, 1}};
        object.texCoords = {{0, 0}, {1, 0}, {0.5f, 1}};
        object.vertexCount = object.texCoordCount = 3;
        for (int l = 0; l < faceCount; ++l)
            object.faces.push_back(reversed ? ModelFace{{0, 2, 1}} : ModelFace{{0, 1, 2}});
        object.faceCount = faceCount;
        model.objects.push_back(object);
    }
    model.objectCount = objectCount;
    return model;
}

TEST(StarModelsMorphable, OnlyModelsThatPairUpWithEveryIndexInsideItsObjectPass) {
    EXPECT_TRUE(modelsMorphable(triangleModel(2, 3), triangleModel(2, 3, true)));
    EXPECT_FALSE(modelsMorphable(triangleModel(2), triangleModel(1)));
    EXPECT_FALSE(modelsMorphable(triangleModel(1), triangleModel(2)));
    EXPECT_FALSE(modelsMorphable(triangleModel(1, 2), triangleModel(1, 3)));
    EXPECT_FALSE(modelsMorphable(triangleModel(1, 3), triangleModel(1, 2)));
    EXPECT_FALSE(modelsMorphable(Model{}, triangleModel())); // first file failed to load
    EXPECT_FALSE(modelsMorphable(triangleModel(), Model{})); // second file failed to load
    Model countsLie = triangleModel();
    countsLie.objectCount = 2; // more objects counted than held
    EXPECT_FALSE(modelsMorphable(countsLie, countsLie));

    // Any index outside its object is refused.
    const Model good = triangleModel(2, 2);
    auto broken = [&](auto change) {
        Model model = good;
        change(model);
        return model;
    };
    EXPECT_FALSE(
        modelsMorphable(broken([](Model& m) { m.objects[1].faces[1].vertexIndex[2] = 3; }), good));
    EXPECT_FALSE(
        modelsMorphable(good, broken([](Model& m) { m.objects[0].faces[0].vertexIndex[1] = -1; })));
    EXPECT_FALSE(modelsMorphable(
        good, broken([](Model& m) { m.objects[1].faces[0].vertexIndex[0] = 70000; })));
    // Texture coordinates come from the first model: they must cover its indices too.
    EXPECT_FALSE(modelsMorphable(broken([](Model& m) {
                                     m.objects[0].texCoords.resize(2);
                                     m.objects[0].texCoordCount = 2;
                                 }),
                                 good));
    // A count larger than its array is not trusted.
    EXPECT_FALSE(modelsMorphable(broken([](Model& m) { m.objects[0].faceCount = 5; }),
                                 broken([](Model& m) { m.objects[0].faceCount = 5; })));
    EXPECT_FALSE(modelsMorphable(broken([](Model& m) { m.objects[1].normals.clear(); }), good));
}

class StarMorphScene : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!prepareSceneTest(firstTick)) GTEST_SKIP() << "no GL context";
        resetMorph();
        morphTextures[0] = solidTexture(0, 0, 255); // background blue
        morphTextures[1] = solidTexture(255, 0, 0); // star red
        models[0] = triangleModel(1, 1);
        models[1] = triangleModel(1, 1, true);
        currentScene = 7;
    }
    void TearDown() override {
        gfx::deleteTextures(morphTextures, 2);
        morphTextures[0] = morphTextures[1] = 0;
        models[0] = Model{};
        models[1] = Model{};
    }
};

TEST_F(StarMorphScene, FliesInByFiveAndAHalfSecondsTumblesUntil16AndLeavesAt21AndAHalf) {
    std::uint32_t centreAt = 0, flyOutAt = 0, endAt = 0;
    for (std::uint32_t t = 0; t <= 23000 && endAt == 0; t += 40) {
        const int phaseBefore = morph.morphPhase;
        frameAt(firstTick + t, starMorphScene.frame);
        if (phaseBefore == 0 && morph.morphPhase == 1) {
            centreAt = t;
            EXPECT_EQ(morph.starX, 0.0f);
            EXPECT_EQ(morph.starSpin, 0.08f);
        }
        if (phaseBefore == 1 && morph.morphPhase == 2) flyOutAt = t;
        if (currentScene != 7) endAt = t;
        ASSERT_GE(morph.morphFactor, 0.0f);
        ASSERT_LE(morph.morphFactor, 1.0f);
    }
    EXPECT_NEAR(centreAt, 5500, 40);
    EXPECT_EQ(flyOutAt, 16000u); // exactly 16000 ms counts
    EXPECT_NEAR(endAt, 21500, 80);
    EXPECT_EQ(currentScene, 8);
}

TEST_F(StarMorphScene, ALongFrameStopsTheMorphExactlyAtItsEndAndTurnsIt) {
    frameAt(firstTick, starMorphScene.frame);
    frameAt(firstTick + 700, starMorphScene.frame);
    EXPECT_FLOAT_EQ(morph.morphFactor, 0.7f);
    frameAt(firstTick + 2000, starMorphScene.frame); // would reach 2.0
    EXPECT_EQ(morph.morphFactor, 1.0f);
    EXPECT_EQ(morph.morphSpeed, -0.001f);
    frameAt(firstTick + 6000, starMorphScene.frame); // would reach -3.0
    EXPECT_EQ(morph.morphFactor, 0.0f);
    EXPECT_EQ(morph.morphSpeed, 0.001f);
    // The same long frame overshot the centre on the way in: the star stops exactly there.
    EXPECT_EQ(morph.starX, 0.0f);
    EXPECT_EQ(morph.morphPhase, 1);
}

// Models that cannot be blended show one of them alone, never nothing: the first when it can be
// drawn (without texture coordinates too), else the second; only two broken models show no star.
TEST_F(StarMorphScene, ModelsThatCannotBeBlendedShowOneAlone) {
    frameAt(firstTick, starMorphScene.frame);
    frameAt(firstTick + 6000, starMorphScene.frame); // at the centre
    EXPECT_EQ(presentedPixel(320, 240).r, 255);

    const auto starShown = [](std::uint32_t t) {
        frameAt(firstTick + t, starMorphScene.frame);
        const Rgb centre = presentedPixel(320, 240);
        return centre.r == 255 && centre.b == 0;
    };
    // A second model of other face counts, a first model without texture coordinates, a
    // second whose face names a vertex its object lacks, a second that failed to load.
    models[1] = triangleModel(1, 3, true);
    EXPECT_EQ(morphMismatch(models[0], models[1], "a.3ds", "b.3ds"),
              "object 1 has 1 faces in a.3ds and 3 in b.3ds");
    EXPECT_TRUE(starShown(6100));
    models[1] = triangleModel(1, 1, true);
    models[0].objects[0].texCoords.clear();
    models[0].objects[0].texCoordCount = 0;
    EXPECT_EQ(morphMismatch(models[0], models[1], "a.3ds", "b.3ds"),
              "object 1 of a.3ds has no texture coordinates for its vertices");
    EXPECT_TRUE(starShown(6200));
    models[1].objects[0].faces[0].vertexIndex[1] = 40000;
    EXPECT_EQ(morphMismatch(models[0], models[1], "a.3ds", "b.3ds"),
              "object 1 of b.3ds has a face outside its vertices");
    EXPECT_TRUE(starShown(6300));
    models[1] = Model{};
    EXPECT_TRUE(starShown(6400));
    // The first model broken and the second whole: the second alone.
    models[1] = triangleModel(1, 2, true);
    models[0].objects[0].faces[0].vertexIndex[0] = -1;
    EXPECT_FALSE(drawableAlone(models[0]));
    EXPECT_TRUE(starShown(6500));
    // Nothing to draw: the background, and the timeline goes on.
    models[1] = Model{};
    EXPECT_FALSE(starShown(6600));
    EXPECT_EQ(presentedPixel(320, 240).b, 255);
    frameAt(firstTick + 16000, starMorphScene.frame);
    EXPECT_EQ(morph.morphPhase, 2);
}

} // namespace
