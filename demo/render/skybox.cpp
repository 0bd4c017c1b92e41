#include "render/skybox.h"

#include "app/demo_app.h"
#include "scene/texture_loader.h"

#include <glm/gtc/type_ptr.hpp>

namespace {

// Four corners per face, each face a triangle fan, in the order of `skyTextures`. Every face lies 3 from
// the origin and reaches 3.015 along its other two axes, so neighbouring faces overlap at the edges.
const float SKY_POSITIONS[24][3] = {
    {-3.015f, 3, -3.015f},  {-3.015f, 3, 3.015f},  {3.015f, 3, 3.015f},   {3.015f, 3, -3.015f},   // top
    {-3.015f, -3, -3.015f}, {-3.015f, -3, 3.015f}, {3.015f, -3, 3.015f},  {3.015f, -3, -3.015f},  // bottom
    {-3, -3.015f, 3.015f},  {-3, 3.015f, 3.015f},  {-3, 3.015f, -3.015f}, {-3, -3.015f, -3.015f}, // right
    {3, -3.015f, 3.015f},   {3, 3.015f, 3.015f},   {3, 3.015f, -3.015f},  {3, -3.015f, -3.015f},  // left
    {3.015f, -3.015f, 3},   {3.015f, 3.015f, 3},   {-3.015f, 3.015f, 3},  {-3.015f, -3.015f, 3},  // front
    {3.015f, -3.015f, -3},  {3.015f, 3.015f, -3},  {-3.015f, 3.015f, -3}, {-3.015f, -3.015f, -3}, // back
};

const float SKY_TEXCOORDS[24][2] = {
    {1, 1}, {0, 1}, {0, 0}, {1, 0}, // top
    {1, 0}, {1, 1}, {0, 1}, {0, 0}, // bottom
    {0, 0}, {0, 1}, {1, 1}, {1, 0}, // right
    {1, 0}, {1, 1}, {0, 1}, {0, 0}, // left
    {1, 0}, {1, 1}, {0, 1}, {0, 0}, // front
    {0, 0}, {0, 1}, {1, 1}, {1, 0}, // back
};

const char* const SKY_IMAGES[6] = {"../images/top.bmp",  "../images/bottom.bmp", "../images/right.bmp",
                                   "../images/left.bmp", "../images/front.bmp",  "../images/back.bmp"};

void uploadAttribute(GLuint location, GLint components, const void* data, GLsizeiptr bytes) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, bytes, data, GL_STATIC_DRAW);
    glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(location);
}

} // namespace

void initSkybox() {
    glGenVertexArrays(1, &theApp->skyVao);
    glBindVertexArray(theApp->skyVao);
    uploadAttribute(ATTRIB_POSITION, 3, SKY_POSITIONS, sizeof SKY_POSITIONS);
    uploadAttribute(ATTRIB_TEXCOORD, 2, SKY_TEXCOORDS, sizeof SKY_TEXCOORDS);
    for (int face = 0; face < 6; ++face)
        theApp->skyTextures[face] = loadTexture(4, SKY_IMAGES[face]);
}

void drawSky() {
    const SceneUniforms& u = theApp->sceneUniforms;
    glDisable(GL_CULL_FACE);
    glUniform1f(u.isSky, 1.0f);
    glUniform1i(u.baseTexture, 0);
    // Samplers of different types may not share a unit even where unused, and the cube sampler is
    // otherwise first given its unit after the sky, by the first Scene.
    glUniform1i(u.shadowMap, 1);
    theApp->mvpMatrix = theApp->camera->projectionMatrix * theApp->camera->viewMatrix * glm::mat4(1.0f);
    glUniformMatrix4fv(u.mvp, 1, GL_FALSE, glm::value_ptr(theApp->mvpMatrix));
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindVertexArray(theApp->skyVao);
    for (int face = 0; face < 6; ++face) {
        // A face whose image did not load is left out, so the clear colour shows there instead of black.
        if (theApp->skyTextures[face] == NO_TEXTURE)
            continue;
        glBindTexture(GL_TEXTURE_2D, theApp->skyTextures[face]);
        glDrawArrays(GL_TRIANGLE_FAN, 4 * face, 4);
    }
    glEnable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, 0);
}
