// A DemoApp with its real 3.3 core context, one per test: headless, or with its window where the test
// program is one of the window's.
#pragma once

#include "app/demo_app.h"

#include <gtest/gtest.h>

#include <array>

// Whether this test program's contexts are headless; its main file says.
extern const bool headlessContexts;

class GlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        demoMode = true;
        app = new DemoApp();
        theApp = app;
        app->headless = headlessContexts;
        app->initialize();
        ASSERT_EQ(app->state, INIT) << "no 3.3 core context";
    }

    void TearDown() override {
        // The program never releases its sound system, but the next test's DemoApp needs the output.
        delete app->soundSystem;
        delete app;
        theApp = nullptr;
    }

    // The RGBA bytes of one pixel of the bound read framebuffer.
    static std::array<unsigned char, 4> readPixel(int x, int y) {
        std::array<unsigned char, 4> pixel{};
        glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel.data());
        return pixel;
    }

    // A parameter of a 2D texture, such as its filter or wrap mode.
    static GLint textureParameter(GLuint texture, GLenum name) {
        GLint value = 0;
        glBindTexture(GL_TEXTURE_2D, texture);
        glGetTexParameteriv(GL_TEXTURE_2D, name, &value);
        glBindTexture(GL_TEXTURE_2D, 0);
        return value;
    }

    DemoApp* app = nullptr;
};
