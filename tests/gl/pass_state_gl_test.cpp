#include "app/scene_scale.h"
#include "pass_fixture.h"

#include "render/scene_pass.h"
#include "render/shadow_pass.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>
#include <vector>

namespace {

GLint integer(GLenum name) {
    GLint value = 0;
    glGetIntegerv(name, &value);
    return value;
}

std::array<GLint, 4> viewport() {
    std::array<GLint, 4> box{};
    glGetIntegerv(GL_VIEWPORT, box.data());
    return box;
}

GLenum framebufferStatus(GLuint framebuffer) {
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    GLenum status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
    return status;
}

} // namespace

TEST_F(PassTest, TargetsAreCompleteAndTheCubeMapHasSixDepthFaces) {
    EXPECT_EQ(framebufferStatus(app->shadowPass.shadowFramebuffer),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(framebufferStatus(app->sceneTarget.sceneFramebuffer),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(framebufferStatus(app->sceneTarget.multisampleFramebuffer),
              static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glBindTexture(GL_TEXTURE_CUBE_MAP, app->shadowPass.shadowCubeMap);
    for (int face = 0; face < 6; ++face) {
        GLint width = 0, format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_TEXTURE_INTERNAL_FORMAT,
                                 &format);
        EXPECT_EQ(width, 1024);
        EXPECT_EQ(format, GL_DEPTH_COMPONENT24);
    }
    EXPECT_NE(app->shadowPass.uniforms.pvMatrix, -1);
    EXPECT_NE(app->shadowPass.uniforms.modelMatrix, -1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PassTest, EachPassEndsOnTheWindowsFramebufferWithItsViewport) {
    addMesh(box(glm::vec3(-0.5f), glm::vec3(0.5f)), addMaterial(Material()));
    glUseProgram(programs.shadowProgram);
    drawShadowMap();
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), GLint(app->windowFramebuffer()));
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1024, 1024}));
    glUseProgram(programs.sceneProgram);
    const SceneTarget& target = app->sceneTarget;
    for (GLuint framebuffer : {GLuint(target.sceneFramebuffer), GLuint(target.multisampleFramebuffer)}) {
        drawScene(framebuffer);
        EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), GLint(app->windowFramebuffer())) << framebuffer;
        EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1024, 768})) << framebuffer;
        EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_EQ(integer(GL_CULL_FACE_MODE), GL_BACK);
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Every kind of mesh and material the import can hand over, under every switch setting.
TEST_F(PassTest, FramesOfEveryMeshKindRaiseNoGlError) {
    Material textured;
    textured.diffuseTexture = solidTexture({200, 180, 160, 255});
    textured.normalTexture = solidTexture({128, 128, 255, 255}, false);
    Material twoSided;
    twoSided.twoSided = 1;
    Material glass;
    glass.opacity = 0.4f;
    glass.twoSided = 1;
    Material overOpaque;
    overOpaque.opacity = 1.5f;
    addMesh(box(glm::vec3(-0.5f), glm::vec3(0.5f)), addMaterial(textured));
    addMesh(quad(glm::vec3(-1, 0, 1), glm::vec3(2, 0, 0), glm::vec3(0, 1, 0)), addMaterial(twoSided));
    addMesh(quad(glm::vec3(-1, 0, 1.5f), glm::vec3(2, 0, 0), glm::vec3(0, 1, 0)), addMaterial(glass));
    addMesh(box(glm::vec3(1.0f), glm::vec3(1.2f)), addMaterial(overOpaque), 0);
    addMesh(quad(glm::vec3(-1, -1, 0), glm::vec3(2, 0, 0), glm::vec3(0, 0, 2)), 0, 0, 2);
    addMesh(quad(glm::vec3(-1, -1, 0), glm::vec3(2, 0, 0), glm::vec3(0, 0, 2)), 0, WITH_NORMALS, 1);
    addMesh({}, 0);
    for (int frame = 0; frame < 8; ++frame) {
        app->shadowMappingOn = frame & 1;
        app->normalMappingOn = (frame >> 1) & 1;
        app->light->position = glm::vec3(frame * 0.1f, 1.5f, 0.0f);
        drawFrame();
        ASSERT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << "frame " << frame;
    }
}

namespace {

using Size = std::array<int, 2>;

Size textureSize(GLuint texture) {
    Size size{};
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &size[0]);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &size[1]);
    glBindTexture(GL_TEXTURE_2D, 0);
    return size;
}

Size renderbufferSize(GLuint renderbuffer) {
    Size size{};
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_WIDTH, &size[0]);
    glGetRenderbufferParameteriv(GL_RENDERBUFFER, GL_RENDERBUFFER_HEIGHT, &size[1]);
    return size;
}

// A window side divided, but never below one pixel.
Size reduced(Size window, int divisor) {
    return {std::max(window[0] / divisor, 1), std::max(window[1] / divisor, 1)};
}

// Every window-sized target texture with the size it must have for a window of `window`.
std::vector<std::pair<GLuint, Size>> windowSizedTextures(const DemoApp& app, Size window) {
    const DofTargets& dof = app.depthOfField.targets;
    const BloomTargets& bloom = app.bloom.targets;
    const Size quarter = reduced(window, 4);
    return {{app.sceneTarget.sceneColorTexture, window},
            {dof.dofBlurTexture1, window},
            {dof.dofBlurTexture2, window},
            {dof.dofResultTexture, window},
            {dof.dofDepthTexture, reduced(window, 2)},
            {dof.dofSmallTexture, reduced(window, 8)},
            {bloom.bloomInputTexture, quarter},
            {bloom.bloomBlurTexture1, quarter},
            {bloom.bloomBlurTexture2, quarter},
            {bloom.bloomResultTexture, quarter}};
}

// Every window-sized renderbuffer.
std::vector<GLuint> windowSizedRenderbuffers(const DemoApp& app) {
    const SceneTarget& scene = app.sceneTarget;
    return {scene.sceneDepthBuffer, scene.multisampleColorBuffer, scene.multisampleDepthBuffer};
}

std::vector<GLuint> windowSizedFramebuffers(const DemoApp& app) {
    const DofTargets& dof = app.depthOfField.targets;
    return {app.sceneTarget.sceneFramebuffer,
            app.sceneTarget.multisampleFramebuffer,
            dof.dofDepthFramebuffer,
            dof.dofSmallFramebuffer,
            dof.dofFramebuffer,
            app.bloom.targets.bloomInputFramebuffer,
            app.bloom.targets.bloomFramebuffer};
}

} // namespace

// A new framebuffer size re-creates every window-sized target at that size and deletes the old ones; the
// passes then draw at it. A minimised window (a side of 0) changes nothing, and a window smaller than the
// reductions still gets targets of a pixel.
TEST_F(PassTest, ResizedTargetsTakeTheNewSizeAndTheOldOnesGo) {
    addMesh(box(glm::vec3(-0.5f), glm::vec3(0.5f)), addMaterial(Material()));
    const auto startTextures = windowSizedTextures(*app, {1024, 768});
    EXPECT_FALSE(resizePasses(0, 600));
    EXPECT_FALSE(resizePasses(800, 0));
    EXPECT_EQ(windowSizedTextures(*app, {1024, 768}), startTextures);

    for (Size window : {Size{640, 480}, Size{5, 3}}) {
        SCOPED_TRACE(testing::Message() << window[0] << " x " << window[1]);
        const auto oldTextures = windowSizedTextures(*app, window);
        const auto oldFramebuffers = windowSizedFramebuffers(*app);
        const auto oldRenderbuffers = windowSizedRenderbuffers(*app);
        testing::internal::CaptureStdout();
        const bool resized = resizePasses(window[0], window[1]);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << "no incomplete framebuffer";
        ASSERT_TRUE(resized);
        EXPECT_EQ((Size{app->settings->width, app->settings->height}), window);

        for (const auto& [texture, expected] : oldTextures)
            EXPECT_FALSE(glIsTexture(texture)) << texture;
        for (GLuint framebuffer : oldFramebuffers)
            EXPECT_FALSE(glIsFramebuffer(framebuffer)) << framebuffer;
        for (GLuint renderbuffer : oldRenderbuffers)
            EXPECT_FALSE(glIsRenderbuffer(renderbuffer)) << renderbuffer;

        for (const auto& [texture, expected] : windowSizedTextures(*app, window))
            EXPECT_EQ(textureSize(texture), expected) << "texture " << texture;
        for (GLuint renderbuffer : windowSizedRenderbuffers(*app))
            EXPECT_EQ(renderbufferSize(renderbuffer), window) << "renderbuffer " << renderbuffer;
        for (GLuint framebuffer : windowSizedFramebuffers(*app))
            EXPECT_EQ(framebufferStatus(framebuffer), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
        const Size bloomSize = reduced(window, 4);
        EXPECT_EQ(app->bloom.bloomTexelOffset, 1.0f / glm::vec2(bloomSize[0], bloomSize[1]));

        for (int frame = 0; frame < 3; ++frame) {
            app->dofOn = frame == 2;
            app->bloomOn = frame == 1;
            drawFrame();
            EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, window[0], window[1]})) << frame;
        }
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }
}

namespace {

using Pixels = std::vector<unsigned char>;

// The RGB bytes of the window's back buffer (framebuffer 0), or of a framebuffer's colour attachment 0.
Pixels readColor(GLuint framebuffer) {
    Pixels pixels(1024 * 768 * 3);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glReadBuffer(framebuffer == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1024, 768, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
    return pixels;
}

int differingPixels(const Pixels& a, const Pixels& b) {
    int count = 0;
    for (size_t i = 0; i < a.size(); i += 3)
        count += a[i] != b[i] || a[i + 1] != b[i + 1] || a[i + 2] != b[i + 2];
    return count;
}

} // namespace

// Each frame shades the scene once: single-sample over the laid depth under the depth of field, with 4
// samples otherwise. The 4-sample picture reaches the window the same with the bloom (black here) as
// without, is the bloom's input, and is smoother than the single-sample one; the laid depth changes no
// pixel, also where two surfaces lie at the same depth and the first drawn must stay in front.
TEST_F(PassTest, EachCaseShadesTheSceneOnceAndKeepsItsPicture) {
    GLuint darkSky = solidTexture({40, 40, 50, 255});
    for (GLuint& face : app->skybox.skyTextures)
        face = darkSky;
    Material red, green;
    red.diffuse = glm::vec4(0.5f, 0.05f, 0.05f, 1.0f);
    green.diffuse = glm::vec4(0.05f, 0.5f, 0.05f, 1.0f);
    const unsigned redMaterial = addMaterial(red), greenMaterial = addMaterial(green);
    addMesh(box(glm::vec3(-0.4f, -0.5f, -0.3f), glm::vec3(0.3f, 0.2f, 0.4f)), redMaterial);
    const auto coplanar =
        quad(glm::vec3(-0.8f, -0.6f, 0.5f), glm::vec3(0.5f, 0.1f, 0), glm::vec3(0, 0.6f, 0.1f));
    addMesh(coplanar, redMaterial);
    addMesh(coplanar, greenMaterial);
    app->light->position = glm::vec3(0.5f, 1.0f, 1.5f);
    app->shadowMappingOn = 1;
    std::array<int, PASS_COUNT> begun{};
    app->passObserver = [&begun](RenderPass pass, bool begins) { begun[pass] += begins; };
    const SceneTarget& target = app->sceneTarget;
    auto frame = [&](int dofOn, int bloomOn) {
        app->dofOn = dofOn;
        app->bloomOn = bloomOn;
        begun.fill(0);
        drawFrame();
        return std::array<int, 3>{begun[PASS_SCENE_DEPTH], begun[PASS_SCENE], begun[PASS_SCENE_MULTISAMPLE]};
    };
    EXPECT_EQ(frame(0, 0), (std::array<int, 3>{0, 0, 1}));
    const Pixels plain = readColor(app->windowFramebuffer());
    EXPECT_EQ(frame(0, 1), (std::array<int, 3>{0, 0, 1}));
    EXPECT_EQ(differingPixels(readColor(app->windowFramebuffer()), plain), 0) << "a black bloom adds nothing";
    EXPECT_EQ(differingPixels(readColor(target.sceneFramebuffer), plain), 0)
        << "the bloom reads the 4-sample picture";
    EXPECT_EQ(frame(1, 1), (std::array<int, 3>{1, 1, 0}));
    const Pixels overLaidDepth = readColor(target.sceneFramebuffer);
    app->passObserver = nullptr;

    glUseProgram(programs.sceneProgram);
    drawScene(target.sceneFramebuffer);
    glFinish();
    const Pixels singleSample = readColor(target.sceneFramebuffer);
    EXPECT_EQ(differingPixels(overLaidDepth, singleSample), 0);
    EXPECT_GT(differingPixels(singleSample, plain), 100) << "the 4-sample picture is anti-aliased";
    // The coplanar pair shows the red one, drawn first.
    const glm::ivec2 pair = pixelOf(glm::vec3(-0.55f, -0.3f, 0.55f));
    const unsigned char* shown = &singleSample[(pair.y * 1024 + pair.x) * 3];
    EXPECT_GT(shown[0], shown[1]);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// At a share of the window the scene-sized targets take the share's size and the upscale stretches the
// frame over the whole window: the same picture, softer. Back at the full size the upscale's target goes
// and the passes draw onto the window again.
TEST_F(PassTest, AScaledSceneFillsTheWindowThroughTheUpscale) {
    Material red;
    red.diffuse = glm::vec4(0.6f, 0.05f, 0.05f, 1.0f);
    addMesh(box(glm::vec3(-0.4f, -0.5f, -0.3f), glm::vec3(0.3f, 0.2f, 0.4f)), addMaterial(red));
    app->light->position = glm::vec3(0.5f, 1.0f, 1.5f);
    const Size window{app->settings->width, app->settings->height};
    for (int frame = 0; frame < 3; ++frame) {
        SCOPED_TRACE(testing::Message() << "frame " << frame);
        app->dofOn = frame == 2;
        app->bloomOn = frame == 1;
        setSceneScale(1.0f);
        drawFrame();
        const Pixels full = readColor(app->windowFramebuffer());
        setSceneScale(0.5f);
        const Size scene{scaledSide(window[0], 0.5f), scaledSide(window[1], 0.5f)};
        for (const auto& [texture, expected] : windowSizedTextures(*app, scene))
            EXPECT_EQ(textureSize(texture), expected) << "texture " << texture;
        ASSERT_TRUE(upscaling());
        EXPECT_EQ(textureSize(app->upscale.frameTexture), scene);
        drawFrame();
        EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, window[0], window[1]}));
        const Pixels scaled = readColor(app->windowFramebuffer());
        double difference = 0.0;
        for (size_t i = 0; i < full.size(); ++i)
            difference += std::abs(full[i] - scaled[i]);
        EXPECT_LT(difference / full.size(), 4.0) << "mean difference in levels";
        EXPECT_GT(differingPixels(full, scaled), 0) << "the scaled frame is the full one";
    }
    const GLuint frameTexture = app->upscale.frameTexture;
    setSceneScale(1.0f);
    EXPECT_FALSE(upscaling());
    EXPECT_FALSE(glIsTexture(frameTexture));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
