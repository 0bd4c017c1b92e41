#include "app/demo_app.h"
#include "app/key_controls.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class KeyControls : public ::testing::Test {
  protected:
    void SetUp() override {
        app = new DemoApp();
        theApp = app;
        demoMode = true;
        app->shadowMappingOn = app->bloomOn = app->normalMappingOn = 1;
    }

    void TearDown() override {
        // The next test's DemoApp opens the sound output again.
        delete app->soundSystem;
        delete app;
        theApp = nullptr;
    }

    // The console output of one key event.
    static std::string press(int key, int action = GLFW_PRESS) {
        testing::internal::CaptureStdout();
        onKey(key, action, 0.0);
        return testing::internal::GetCapturedStdout();
    }

    DemoApp* app = nullptr;
};

} // namespace

TEST_F(KeyControls, DemoModeAnswersOnlyTheWalkKeyPress) {
    for (int key :
         {GLFW_KEY_F1, GLFW_KEY_F2, GLFW_KEY_F3, GLFW_KEY_F4, GLFW_KEY_F5, GLFW_KEY_W, GLFW_KEY_ESCAPE})
        EXPECT_EQ(press(key), "") << key;
    EXPECT_EQ(press(GLFW_KEY_F10, GLFW_RELEASE), "");
    EXPECT_EQ(press(GLFW_KEY_F10, GLFW_REPEAT), "");
    EXPECT_TRUE(demoMode);
    EXPECT_EQ(app->shadowMappingOn + app->bloomOn + app->normalMappingOn + app->dofOn, 3);
    EXPECT_EQ(app->dofShow, 0u);

    EXPECT_EQ(press(GLFW_KEY_F10), "walkit changed. \n");
    EXPECT_FALSE(demoMode);
}

TEST_F(KeyControls, WalkModeTogglesEachEffectWithItsMessage) {
    demoMode = false;
    app->dofOn = 1; // as the path left it
    struct Toggle {
        int key;
        int* flag;
        const char* off;
        const char* on;
    };
    const Toggle toggles[] = {
        {GLFW_KEY_F1, &app->shadowMappingOn, "Shadow Mapping disabled. \n", "Shadow Mapping enabled. \n"},
        {GLFW_KEY_F2, &app->bloomOn, "Bloom effect disabled. \n", "Bloom effect enabled. \n"},
        {GLFW_KEY_F3, &app->normalMappingOn, "Normal Mapping disabled. \n", "Normal Mapping enabled. \n"},
        {GLFW_KEY_F4, &app->dofOn, "Dof disabled. \n", "Dof enabled. \n"},
    };
    for (const Toggle& toggle : toggles) {
        EXPECT_EQ(press(toggle.key), toggle.off);
        EXPECT_EQ(*toggle.flag, 0);
        EXPECT_EQ(press(toggle.key), toggle.on);
        EXPECT_EQ(*toggle.flag, 1);
    }
    for (int key = GLFW_KEY_F6; key <= GLFW_KEY_F9; ++key)
        EXPECT_EQ(press(key), "") << key;
    EXPECT_EQ(press(GLFW_KEY_F10), "walkit changed. \n");
    EXPECT_TRUE(demoMode);
    EXPECT_EQ(press(GLFW_KEY_F2), "");
}

TEST_F(KeyControls, DofViewCyclesThroughFour) {
    demoMode = false;
    for (unsigned expected : {1u, 2u, 3u, 0u, 1u}) {
        EXPECT_EQ(press(GLFW_KEY_F5), "Dof show changed. \n");
        EXPECT_EQ(app->dofShow, expected);
    }
}

TEST_F(KeyControls, HeldKeyTogglesOnceAndReleaseIsSilent) {
    demoMode = false;
    EXPECT_EQ(press(GLFW_KEY_F1), "Shadow Mapping disabled. \n");
    for (int repeat = 0; repeat < 3; ++repeat)
        EXPECT_EQ(press(GLFW_KEY_F1, GLFW_REPEAT), "");
    EXPECT_EQ(press(GLFW_KEY_F1, GLFW_RELEASE), "");
    EXPECT_EQ(app->shadowMappingOn, 0);
}
