#include "render/screen_quad.h"

#include "app/demo_app.h"

namespace {

const GLfloat QUAD_POSITIONS[8] = {-1.0f, -1.0f, 1.0f, -1.0f, 1.0f, 1.0f, -1.0f, 1.0f};
const GLfloat QUAD_TEX_COORDS[8] = {0.0f, 0.0f, 1.0f, 0.0f, 1.0f, 1.0f, 0.0f, 1.0f};

void createQuadAttribute(GLuint location, const GLfloat (&values)[8]) {
    GLuint buffer = 0;
    glGenBuffers(1, &buffer);
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, sizeof(values), values, GL_STATIC_DRAW);
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
}

GLuint quadSourceTexture(int source) {
    return source == QUAD_BLOOM ? theApp->bloomResultTexture : theApp->dofResultTexture;
}

} // namespace

void initScreenQuad(GLuint program) {
    glGenVertexArrays(1, &theApp->quadVao);
    glBindVertexArray(theApp->quadVao);
    createQuadAttribute(0, QUAD_POSITIONS);
    createQuadAttribute(1, QUAD_TEX_COORDS);
    QuadUniforms& uniforms = theApp->quadUniforms;
    uniforms.baseTexture = glGetUniformLocation(program, "base_texture");
    uniforms.cubeTexture = glGetUniformLocation(program, "cube_texture");
    uniforms.texType = glGetUniformLocation(program, "texType");
}

void drawQuad(int source) {
    if (source != QUAD_BLOOM && source != QUAD_DOF)
        return;
    const QuadUniforms& uniforms = theApp->quadUniforms;
    glViewport(0, 0, theApp->settings->width, theApp->settings->height);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_CUBE_MAP, theApp->shadowCubeMap);
    glUniform1i(uniforms.cubeTexture, 1);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, quadSourceTexture(source));
    glUniform1i(uniforms.baseTexture, 0);
    glUniform1i(uniforms.texType, 0);
    glDisable(GL_CULL_FACE);
    drawQuadGeometry();
    glEnable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

void drawQuadGeometry() {
    glBindVertexArray(theApp->quadVao);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
}
