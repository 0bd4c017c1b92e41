#include "pass_fixture.h"

#include "render/scene_pass.h"
#include "render/shadow_pass.h"

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
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return status;
}

} // namespace

TEST_F(PassTest, TargetsAreCompleteAndTheCubeMapHasSixDepthFaces) {
    EXPECT_EQ(framebufferStatus(app->shadowFramebuffer), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    EXPECT_EQ(framebufferStatus(app->sceneFramebuffer), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));
    glBindTexture(GL_TEXTURE_CUBE_MAP, app->shadowCubeMap);
    for (int face = 0; face < 6; ++face) {
        GLint width = 0, format = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_TEXTURE_WIDTH, &width);
        glGetTexLevelParameteriv(GL_TEXTURE_CUBE_MAP_POSITIVE_X + face, 0, GL_TEXTURE_INTERNAL_FORMAT,
                                 &format);
        EXPECT_EQ(width, 1024);
        EXPECT_EQ(format, GL_DEPTH_COMPONENT24);
    }
    EXPECT_NE(app->shadowUniforms.pvMatrix, -1);
    EXPECT_NE(app->shadowUniforms.modelMatrix, -1);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PassTest, EachPassEndsOnTheDefaultFramebufferWithItsViewport) {
    addMesh(box(glm::vec3(-0.5f), glm::vec3(0.5f)), addMaterial(Material()));
    glUseProgram(programs.shadowProgram);
    drawShadowMap();
    EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0);
    EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1024, 1024}));
    glUseProgram(programs.sceneProgram);
    for (bool offscreen : {false, true}) {
        drawScene(offscreen);
        EXPECT_EQ(integer(GL_FRAMEBUFFER_BINDING), 0) << offscreen;
        EXPECT_EQ(viewport(), (std::array<GLint, 4>{0, 0, 1024, 768})) << offscreen;
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
