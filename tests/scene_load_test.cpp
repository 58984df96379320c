// The loads of the scenes that read their own files: one file a call until the scene reports
// ready, nothing more after that, and an unload that releases what the load made.
#include "assets/model.h"
#include "scenes/greetings.h"
#include "scenes/star_morph.h"
#include "scenes/swarm.h"
#include "tests/scene_test_support.h"

#include <vector>

TEST(SceneLoad, EachSceneLoadsAFileACallThenReportsReadyAndUnloadReleasesIt) {
    if (!prepareSceneTest(300000)) GTEST_SKIP() << "no GL context";
    setDataDirectory(TUVERO_DATA_DIR);
    resetSwarm();
    resetGreetings();
    resetMorph();
    models[0] = models[1] = Model{};
    const struct {
        const char* name;
        const Scene& scene;
        int files; // the star morph's two pictures and two star files
        Texture* textures;
        int textureCount;
    } cases[] = {{"swarm", swarmScene, 2, swarmTextures, 2},
                 {"greetings", greetingsScene, 5, greetingsTextures, 5},
                 {"star morph", starMorphScene, 4, morphTextures, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (int file = 1; file < c.files; ++file)
            EXPECT_EQ(c.scene.load(), 0) << file;
        EXPECT_EQ(c.scene.load(), 1);
        EXPECT_EQ(c.scene.load(), 1) << "nothing more to load";
        const std::vector<Texture> loaded(c.textures, c.textures + c.textureCount);
        for (Texture t : loaded)
            EXPECT_TRUE(gfx::isTexture(t));
        if (&c.scene == &starMorphScene) {
            EXPECT_TRUE(modelsMorphable(models[0], models[1]));
        }
        c.scene.unload();
        for (Texture t : loaded)
            EXPECT_FALSE(gfx::isTexture(t));
    }
    EXPECT_FALSE(modelsMorphable(models[0], models[1])) << "the star files stayed after unload";
    models[0] = models[1] = Model{};
    setDataDirectory("");
}
