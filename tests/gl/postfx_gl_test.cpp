#include "gl_fixture.h"
#include "postfx_scene.h"

#include "render/screen_quad.h"

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

const int WIDTH = 1024, HEIGHT = 768;

using Image = std::vector<unsigned char>;

Image readWindow() {
    Image image(WIDTH * HEIGHT * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, image.data());
    return image;
}

Image readTexture(GLuint texture) {
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    Image image(width * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, image.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return image;
}

void fillTexture(GLuint texture, float r, float g, float b, float a) {
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    glClearColor(r, g, b, a);
    glClear(GL_COLOR_BUFFER_BIT);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
    glDeleteFramebuffers(1, &framebuffer);
    const float* clear = theApp->settings->clearColor;
    glClearColor(clear[0], clear[1], clear[2], clear[3]);
}

int channel(const Image& image, int x, int y, int c) {
    return image[(y * WIDTH + x) * 3 + c];
}

// Mean absolute difference between horizontal neighbours over a window area: fine detail.
double detail(const Image& image, int x0, int y0, int x1, int y1) {
    double sum = 0.0;
    int count = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x, ++count)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(channel(image, x + 1, y, c) - channel(image, x, y, c));
    return sum / count;
}

double meanDifference(const Image& a, const Image& b) {
    double sum = 0.0;
    for (size_t i = 0; i < a.size(); ++i)
        sum += std::abs(a[i] - b[i]);
    return sum / a.size();
}

// Window-space pixel of a point given in normalised device coordinates.
int toPixelX(float x) {
    return static_cast<int>((x + 1.0f) * 0.5f * WIDTH);
}
int toPixelY(float y) {
    return static_cast<int>((y + 1.0f) * 0.5f * HEIGHT);
}

class PostFxTest : public GlTest {
  protected:
    void SetUp() override {
        GlTest::SetUp();
        if (!HasFatalFailure())
            scene = std::make_unique<PostFxScene>();
    }

    void TearDown() override {
        scene.reset();
        GlTest::TearDown();
    }

    // The window after the scene pass and the post-process the flags select.
    Image render(int dofOn, int bloomOn) {
        app->dofOn = dofOn;
        app->bloomOn = bloomOn;
        scene->draw();
        postProcess(scene->programs);
        glFinish();
        return readWindow();
    }

    void expectDefaultFramebufferAndWindowViewport() {
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
        GLint framebuffer = -1, viewport[4] = {0, 0, 0, 0};
        glGetIntegerv(GL_FRAMEBUFFER_BINDING, &framebuffer);
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(framebuffer, GLint(theApp->windowFramebuffer()));
        EXPECT_EQ(viewport[2], WIDTH);
        EXPECT_EQ(viewport[3], HEIGHT);
    }

    std::unique_ptr<PostFxScene> scene;
};

// A dim checkered wall with one bright window in front of it.
const TestRect DIM_WALL = {{-1.0f, -1.0f}, {1.0f, 1.0f}, 3.0f, {0.25f, 0.3f, 0.35f}, true};
const TestRect BRIGHT_WINDOW = {{0.2f, -0.2f}, {0.5f, 0.3f}, 2.0f, {1.0f, 1.0f, 0.95f}, false};

} // namespace

TEST_F(PostFxTest, TargetsAreCompleteAndTheBloomFilterHasItsConstants) {
    const DofTargets& dof = app->depthOfField.targets;
    const GLuint framebuffers[] = {dof.dofDepthFramebuffer,
                                   app->sceneTarget.sceneFramebuffer,
                                   dof.dofSmallFramebuffer,
                                   dof.dofFramebuffer,
                                   app->bloom.targets.bloomInputFramebuffer,
                                   app->bloom.targets.bloomFramebuffer};
    for (GLuint framebuffer : framebuffers) {
        glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
        EXPECT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    }
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());

    EXPECT_EQ(app->bloom.bloomTexelOffset.x, 0.00390625f);
    EXPECT_EQ(app->bloom.bloomTexelOffset.y, 1.0f / 192.0f);
    const float weights[5] = {0.0625f, 0.25f, 0.375f, 0.25f, 0.0625f};
    float sum = 0.0f;
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(app->bloom.bloomCoefs[i], weights[i]);
        sum += app->bloom.bloomCoefs[i];
    }
    EXPECT_EQ(sum, 1.0f);
}

TEST_F(PostFxTest, QuadWithAnotherSourceChangesNothing) {
    scene->add(DIM_WALL);
    scene->draw();
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, texture);
    glActiveTexture(GL_TEXTURE3);
    glViewport(0, 0, 10, 10);
    glUseProgram(scene->programs.quadProgram);
    const Image before = readWindow();
    for (int source : {0, 3, -1, QUAD_BLOOM + QUAD_DOF}) {
        drawQuad(source);
        GLint active = 0, viewport[4] = {0, 0, 0, 0}, bound = 0;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
        glGetIntegerv(GL_VIEWPORT, viewport);
        EXPECT_EQ(active, GL_TEXTURE3) << "source " << source;
        EXPECT_EQ(viewport[2], 10) << "source " << source;
        glActiveTexture(GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        glActiveTexture(GL_TEXTURE3);
        EXPECT_EQ(static_cast<GLuint>(bound), texture) << "source " << source;
    }
    glFinish();
    EXPECT_EQ(readWindow(), before);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    glDeleteTextures(1, &texture);
}

TEST_F(PostFxTest, QuadLeavesCullingOnAndNoTextureOnUnitZero) {
    glUseProgram(scene->programs.quadProgram);
    for (int source : {QUAD_BLOOM, QUAD_DOF}) {
        drawQuad(source);
        GLint active = 0, bound2d = -1, boundCube = -1;
        glGetIntegerv(GL_ACTIVE_TEXTURE, &active);
        glActiveTexture(GL_TEXTURE0);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound2d);
        glGetIntegerv(GL_TEXTURE_BINDING_CUBE_MAP, &boundCube);
        EXPECT_EQ(active, GL_TEXTURE0);
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_EQ(bound2d, 0);
        EXPECT_EQ(boundCube, 0);
        expectDefaultFramebufferAndWindowViewport();
    }
}

// The quad shows the depth-of-field result as it is, and it passes the depth test over the scene.
TEST_F(PostFxTest, QuadShowsTheDepthOfFieldResultOverTheScene) {
    scene->add(DIM_WALL);
    scene->draw();
    fillTexture(app->depthOfField.targets.dofResultTexture, 0.0f, 1.0f, 0.0f, 1.0f);
    glUseProgram(scene->programs.quadProgram);
    drawQuad(QUAD_DOF);
    glFinish();
    const Image window = readWindow();
    for (int x : {0, 511, 1023})
        for (int y : {0, 383, 767}) {
            EXPECT_EQ(channel(window, x, y, 0), 0) << x << "," << y;
            EXPECT_EQ(channel(window, x, y, 1), 255) << x << "," << y;
        }
}

TEST_F(PostFxTest, OnlyTheDepthOfFieldRunsWhenBothAreOn) {
    scene->add(DIM_WALL);
    scene->add(BRIGHT_WINDOW);
    fillTexture(app->bloom.targets.bloomResultTexture, 1.0f, 0.0f, 1.0f, 1.0f);
    fillTexture(app->depthOfField.targets.dofResultTexture, 1.0f, 0.0f, 1.0f, 1.0f);
    const Image bloomMarker = readTexture(app->bloom.targets.bloomResultTexture);
    const Image dofMarker = readTexture(app->depthOfField.targets.dofResultTexture);

    render(1, 1);
    expectDefaultFramebufferAndWindowViewport();
    EXPECT_EQ(readTexture(app->bloom.targets.bloomResultTexture), bloomMarker);
    EXPECT_NE(readTexture(app->depthOfField.targets.dofResultTexture), dofMarker);

    fillTexture(app->depthOfField.targets.dofResultTexture, 1.0f, 0.0f, 1.0f, 1.0f);
    render(0, 1);
    expectDefaultFramebufferAndWindowViewport();
    EXPECT_NE(readTexture(app->bloom.targets.bloomResultTexture), bloomMarker);
    EXPECT_EQ(readTexture(app->depthOfField.targets.dofResultTexture), dofMarker);

    fillTexture(app->bloom.targets.bloomResultTexture, 1.0f, 0.0f, 1.0f, 1.0f);
    render(0, 0);
    EXPECT_EQ(readTexture(app->bloom.targets.bloomResultTexture), bloomMarker);
    EXPECT_EQ(readTexture(app->depthOfField.targets.dofResultTexture), dofMarker);
}

TEST_F(PostFxTest, BloomOnlyAddsAndMakesBrightAreasGlow) {
    scene->add(DIM_WALL);
    scene->add(BRIGHT_WINDOW);
    const Image plain = render(0, 0);
    const Image bloomed = render(0, 1);
    expectDefaultFramebufferAndWindowViewport();
    int darker = 0;
    for (size_t i = 0; i < plain.size(); ++i)
        darker += bloomed[i] < plain[i];
    EXPECT_EQ(darker, 0);

    // Just outside the window the wall gains a glow; far from it the wall is left as it was.
    const int right = toPixelX(BRIGHT_WINDOW.upperRight.x), middle = toPixelY(0.05f);
    EXPECT_GT(channel(bloomed, right + 6, middle, 1), channel(plain, right + 6, middle, 1) + 20);
    EXPECT_LT(meanDifference(Image(plain.begin(), plain.begin() + WIDTH * 3 * 150),
                             Image(bloomed.begin(), bloomed.begin() + WIDTH * 3 * 150)),
              1.0);
}

TEST_F(PostFxTest, BlackBloomLeavesTheFrameUnchanged) {
    scene->add(DIM_WALL);
    const Image plain = render(0, 0);
    // The dim wall has no bright parts, so its bloom is black.
    EXPECT_EQ(render(0, 1), plain);

    scene->add(BRIGHT_WINDOW);
    scene->draw();
    const Image withWindow = readWindow();
    fillTexture(app->bloom.targets.bloomResultTexture, 0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE);
    glUseProgram(scene->programs.quadProgram);
    drawQuad(QUAD_BLOOM);
    glDisable(GL_BLEND);
    glFinish();
    EXPECT_EQ(readWindow(), withWindow);
}

TEST_F(PostFxTest, DepthOfFieldBlursTheFarZoneAndKeepsTheFocus) {
    const TestRect inFocus = {{-1.0f, -1.0f}, {0.0f, 1.0f}, 0.3f, {0.8f, 0.6f, 0.4f}, true};
    const TestRect far = {{0.0f, -1.0f}, {1.0f, 1.0f}, 3.0f, {0.8f, 0.6f, 0.4f}, true};
    scene->add(inFocus);
    scene->add(far);
    const Image sharp = render(0, 0);
    const Image focused = render(1, 0);
    expectDefaultFramebufferAndWindowViewport();
    const double sharpDetail = detail(sharp, 100, 100, 400, 600);
    ASSERT_GT(sharpDetail, 50.0);
    EXPECT_GT(detail(focused, 100, 100, 400, 600), 0.9 * sharpDetail);
    EXPECT_NEAR(detail(sharp, 620, 100, 920, 600), sharpDetail, 1.0);
    EXPECT_LT(detail(focused, 620, 100, 920, 600), 0.1 * sharpDetail);
}

TEST_F(PostFxTest, EveryDepthOfFieldViewDiffersFromTheOthers) {
    scene->add(DIM_WALL);
    scene->add({{-0.8f, -0.6f}, {-0.1f, 0.4f}, 0.3f, {0.8f, 0.2f, 0.2f}, true});
    scene->add({{0.1f, -0.6f}, {0.5f, 0.2f}, 0.8f, {0.2f, 0.7f, 0.2f}, false});
    std::vector<Image> views;
    for (unsigned shown = 0; shown < 4; ++shown) {
        app->dofShow = shown;
        views.push_back(render(1, 0));
        expectDefaultFramebufferAndWindowViewport();
    }
    for (size_t a = 0; a < views.size(); ++a)
        for (size_t b = a + 1; b < views.size(); ++b)
            EXPECT_GT(meanDifference(views[a], views[b]), 5.0) << "views " << a << " and " << b;
}
