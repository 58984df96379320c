// The multitexture check goes by what the driver reports, and refuses to start without it.
#include "app/app.h"
#include "app/multitexture.h"
#include "app/scene_table.h"
#include "platform/platform.h"
#include "tests/gl_test_support.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

TEST(Multitexture, GoesByTheVersionOrTheExtensionList) {
    EXPECT_TRUE(reportsMultitexture("1.3", nullptr));
    EXPECT_TRUE(reportsMultitexture("4.5 (Compatibility Profile) Mesa 22.3.6", ""));
    EXPECT_TRUE(reportsMultitexture("2.1 Mesa", nullptr));
    EXPECT_TRUE(reportsMultitexture("1.1", "GL_EXT_bgra GL_ARB_multitexture GL_EXT_abgr"));
    EXPECT_TRUE(reportsMultitexture("1.2.1", "GL_ARB_multitexture"));
    EXPECT_FALSE(reportsMultitexture("1.2.1 Vendor", "GL_EXT_bgra GL_ARB_multitexture_extra"));
    EXPECT_FALSE(reportsMultitexture("1.1", "GL_XARB_multitexture"));
    EXPECT_TRUE(reportsMultitexture("1.10", nullptr));
    EXPECT_FALSE(reportsMultitexture(nullptr, nullptr));
    EXPECT_FALSE(reportsMultitexture("OpenGL", nullptr));
    EXPECT_FALSE(reportsMultitexture("1.", nullptr));
}

namespace {
const char* oldDriver(unsigned name) {
    return name == GL_VERSION ? "1.2 Old Driver" : "GL_EXT_bgra GL_EXT_abgr";
}
} // namespace

// A driver that offers no multitexturing: the message box, and start-up fails with code 1.
TEST(Multitexture, ADriverWithoutItGetsTheMessageAndNothingStarts) {
    ASSERT_TRUE(ensureGlContext());
    std::vector<platform::MessageBoxRequest> shown;
    platform::setMessageBoxHook([&](const platform::MessageBoxRequest& request) {
        shown.push_back(request);
        return true;
    });
    setGlStringQuery(oldDriver);
    resetSceneTable();
    EXPECT_EQ(runShow(hiddenRun(5)), 1);
    setGlStringQuery(nullptr);
    platform::setMessageBoxHook(nullptr);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Ei tukea: Multitexturing!");
    EXPECT_TRUE(shown[0].title == "Virhe" && !shown[0].yesNo);
    EXPECT_FALSE(platform::windowOpen());

    // The real driver (Mesa) offers it.
    ASSERT_TRUE(ensureGlContext());
    EXPECT_TRUE(driverHasMultitexture());
}
