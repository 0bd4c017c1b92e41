#include "render/skybox.h"

#include "app/demo_app.h"
#include "scene/texture_loader.h"

#include <glm/gtc/type_ptr.hpp>

namespace {

// Four corners per face, each face a triangle fan, in the order of `skyTextures`. Every face lies 3 from
// the origin and reaches 3.015 along its other two axes, so neighbouring faces overlap at the edges.
constexpr size_t SKY_VERTEX_COUNT = 24;

const float SKY_POSITIONS[SKY_VERTEX_COUNT][3] = {
    {-3.015f, 3, -3.015f},  {-3.015f, 3, 3.015f},  {3.015f, 3, 3.015f},   {3.015f, 3, -3.015f},   // top
    {-3.015f, -3, -3.015f}, {-3.015f, -3, 3.015f}, {3.015f, -3, 3.015f},  {3.015f, -3, -3.015f},  // bottom
    {-3, -3.015f, 3.015f},  {-3, 3.015f, 3.015f},  {-3, 3.015f, -3.015f}, {-3, -3.015f, -3.015f}, // right
    {3, -3.015f, 3.015f},   {3, 3.015f, 3.015f},   {3, 3.015f, -3.015f},  {3, -3.015f, -3.015f},  // left
    {3.015f, -3.015f, 3},   {3.015f, 3.015f, 3},   {-3.015f, 3.015f, 3},  {-3.015f, -3.015f, 3},  // front
    {3.015f, -3.015f, -3},  {3.015f, 3.015f, -3},  {-3.015f, 3.015f, -3}, {-3.015f, -3.015f, -3}, // back
};

const float SKY_TEXCOORDS[SKY_VERTEX_COUNT][2] = {
    {1, 1}, {0, 1}, {0, 0}, {1, 0}, // top
    {1, 0}, {1, 1}, {0, 1}, {0, 0}, // bottom
    {0, 0}, {0, 1}, {1, 1}, {1, 0}, // right
    {1, 0}, {1, 1}, {0, 1}, {0, 0}, // left
    {1, 0}, {1, 1}, {0, 1}, {0, 0}, // front
    {0, 0}, {0, 1}, {1, 1}, {1, 0}, // back
};

} // namespace

const char* const SKY_IMAGES[6] = {"../images/top.bmp",  "../images/bottom.bmp", "../images/right.bmp",
                                   "../images/left.bmp", "../images/front.bmp",  "../images/back.bmp"};

void initSkybox() {
    Skybox& sky = theApp->skybox;
    sky.skyVao = VertexArray::generate();
    glBindVertexArray(sky.skyVao);
    sky.skyPositions = uploadAttribute(ATTRIB_POSITION, 3, &SKY_POSITIONS[0][0], SKY_VERTEX_COUNT);
    sky.skyTexCoords = uploadAttribute(ATTRIB_TEXCOORD, 2, &SKY_TEXCOORDS[0][0], SKY_VERTEX_COUNT);
    for (int face = 0; face < 6; ++face)
        sky.skyTextures[face] = loadTexture(SKY_IMAGE_COLORS, SKY_IMAGES[face]);
}

void drawSky() {
    const Skybox& sky = theApp->skybox;
    const SceneUniforms& u = theApp->scenePass.uniforms;
    glDisable(GL_CULL_FACE);
    glUniform1f(u.isSky, 1.0f);
    glUniform1i(u.baseTexture, SCENE_DIFFUSE_UNIT);
    // Samplers of different types may not share a unit even where unused, and without a Scene drawn before
    // it the sky is the first draw.
    glUniform1i(u.shadowMap, SCENE_SHADOW_UNIT);
    const glm::mat4 mvp = theApp->camera->projectionMatrix * theApp->camera->viewMatrix;
    glUniformMatrix4fv(u.mvp, 1, GL_FALSE, glm::value_ptr(mvp));
    glActiveTexture(GL_TEXTURE0 + SCENE_DIFFUSE_UNIT);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindVertexArray(sky.skyVao);
    for (int face = 0; face < 6; ++face) {
        // A face whose image did not load is left out, so the clear colour shows there instead of black.
        if (sky.skyTextures[face] == NO_TEXTURE)
            continue;
        glBindTexture(GL_TEXTURE_2D, sky.skyTextures[face]);
        glDrawArrays(GL_TRIANGLE_FAN, 4 * face, 4);
    }
    glEnable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, 0);
}
