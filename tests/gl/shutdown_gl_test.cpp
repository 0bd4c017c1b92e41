#include "app/demo_app.h"
#include "app/demo_loop.h"

#include <gtest/gtest.h>

// The shutdown releases the scene and the window but not the application object: the soundtrack it holds
// plays until the process ends, and stays reachable, so nothing the program made is left orphaned.
TEST(Shutdown, TearsDownButKeepsTheApplicationAndItsMusic) {
    ShaderPrograms programs;
    ASSERT_TRUE(startDemo(programs));
    renderFrame(programs, 0.0);
    presentFrame();
    DemoApp* app = theApp;
    ASSERT_FALSE(app->scenes.empty());
    shutdownDemo(programs);

    EXPECT_EQ(theApp, app);
    EXPECT_EQ(app->state, DESTROYED);
    EXPECT_TRUE(app->scenes.empty());
    EXPECT_TRUE(app->textureCache.empty());
    bool playing = false;
    EXPECT_EQ(app->musicChannel.isPlaying(&playing), AUDIO_OK);
    EXPECT_TRUE(playing);

    // The next test's DemoApp needs the sound output.
    delete app->soundSystem;
    delete app;
    theApp = nullptr;
}
