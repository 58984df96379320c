// The check at start goes by the driver's version, and refuses to start without what the
// drawing layer needs.
#include "app/scene_table.h"
#include "platform/platform.h"
#include "render/context_check.h"
#include "render/gfx.h"
#include "startup/options.h"
#include "tests/gl_test_support.h"

#include <gtest/gtest.h>

TEST(ContextCheck, GoesByTheVersion) {
    EXPECT_TRUE(versionMeetsLayer("OpenGL ES 3.0 Mesa 22.3.6"));
    EXPECT_TRUE(versionMeetsLayer("OpenGL ES 3.2 Mesa 22.3.6"));
    EXPECT_TRUE(versionMeetsLayer("4.5 (Compatibility Profile) Mesa 22.3.6"));
    EXPECT_TRUE(versionMeetsLayer("3.3 (Core Profile) Mesa 22.3.6"));
    EXPECT_TRUE(versionMeetsLayer("10.0"));
    EXPECT_FALSE(versionMeetsLayer("OpenGL ES 2.0 Mesa 22.3.6"));
    EXPECT_FALSE(versionMeetsLayer("OpenGL ES-CM 1.1 Mesa"));
    EXPECT_FALSE(versionMeetsLayer("2.1 Mesa 22.3.6"));
    EXPECT_FALSE(versionMeetsLayer("1.3"));
    EXPECT_FALSE(versionMeetsLayer(nullptr));
    EXPECT_FALSE(versionMeetsLayer("OpenGL"));
    EXPECT_FALSE(versionMeetsLayer("3."));
    EXPECT_FALSE(versionMeetsLayer(""));
}

namespace {
std::string oldDriver() { return "2.1 Old Driver"; }
} // namespace

// A driver without what the layer needs: the message box, and start-up fails with code 1.
TEST(ContextCheck, ADriverWithoutItGetsTheMessageAndNothingStarts) {
    ASSERT_TRUE(ensureGlContext());
    std::vector<platform::MessageBoxRequest> shown;
    platform::setMessageBoxHook([&](const platform::MessageBoxRequest& request) {
        shown.push_back(request);
        return true;
    });
    setVersionQuery(oldDriver);
    resetSceneTable();
    EXPECT_EQ(runShow(hiddenRun(5)), 1);
    setVersionQuery(nullptr);
    platform::setMessageBoxHook(nullptr);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Ei tukea: Multitexturing!");
    EXPECT_TRUE(shown[0].title == "Virhe" && !shown[0].yesNo);
    EXPECT_FALSE(platform::windowOpen());

    // The real driver (Mesa) offers it, and the layer starts on a new context.
    ASSERT_TRUE(ensureGlContext());
    EXPECT_TRUE(gfx::started());
}
