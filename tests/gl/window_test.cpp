#include "gl_fixture.h"

#include "render/shader_loader.h"

TEST_F(GlTest, StartStateIsSet) {
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
    EXPECT_TRUE(glIsEnabled(GL_FRAMEBUFFER_SRGB));
    GLint depthFunc = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    EXPECT_EQ(depthFunc, GL_LESS);
    GLfloat clear[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
    EXPECT_FLOAT_EQ(clear[2], 0.7f);
    int width = 0, height = 0;
    glfwGetFramebufferSize(app->window, &width, &height);
    EXPECT_EQ(width, 1024);
    EXPECT_EQ(height, 768);
    double x = 0, y = 0;
    glfwGetCursorPos(app->window, &x, &y);
    EXPECT_EQ(glfwGetInputMode(app->window, GLFW_STICKY_KEYS), GLFW_TRUE);
    EXPECT_EQ(glfwGetInputMode(app->window, GLFW_CURSOR), GLFW_CURSOR_DISABLED);
}

TEST_F(GlTest, InitializeRunsOnlyFromCreated) {
    GLFWwindow* window = app->window;
    app->initialize();
    EXPECT_EQ(app->window, window);
    EXPECT_EQ(app->state, INIT);
}
