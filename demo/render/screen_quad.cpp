#include "render/screen_quad.h"

#include "app/demo_app.h"
#include "render/uniforms.h"
#include "render/upscale.h"

namespace {

constexpr size_t QUAD_VERTEX_COUNT = 4;
// Texture units of the quad program's samplers.
constexpr GLint QUAD_SOURCE_UNIT = 0, QUAD_CUBE_UNIT = 1;

const GLfloat QUAD_POSITIONS[QUAD_VERTEX_COUNT][2] = {
    {-1.0f, -1.0f}, {1.0f, -1.0f}, {1.0f, 1.0f}, {-1.0f, 1.0f}};
const GLfloat QUAD_TEX_COORDS[QUAD_VERTEX_COUNT][2] = {
    {0.0f, 0.0f}, {1.0f, 0.0f}, {1.0f, 1.0f}, {0.0f, 1.0f}};

GLuint quadSourceTexture(int source) {
    return source == QUAD_BLOOM ? theApp->bloom.targets.bloomResultTexture
                                : theApp->depthOfField.targets.dofResultTexture;
}

} // namespace

void initScreenQuad(GLuint program) {
    ScreenQuad& quad = theApp->screenQuad;
    quad.quadVao = VertexArray::generate();
    glBindVertexArray(quad.quadVao);
    quad.quadPositions = uploadAttribute(0, 2, &QUAD_POSITIONS[0][0], QUAD_VERTEX_COUNT);
    quad.quadTexCoords = uploadAttribute(1, 2, &QUAD_TEX_COORDS[0][0], QUAD_VERTEX_COUNT);
    QuadUniforms& uniforms = quad.uniforms;
    lookUpUniforms(program, {{&uniforms.baseTexture, "base_texture"},
                             {&uniforms.cubeTexture, "cube_texture"},
                             {&uniforms.texType, "texType"}});
}

void drawQuad(int source) {
    if (source != QUAD_BLOOM && source != QUAD_DOF)
        return;
    const QuadUniforms& uniforms = theApp->screenQuad.uniforms;
    glBindFramebuffer(GL_FRAMEBUFFER, frameFramebuffer());
    glViewport(0, 0, theApp->sceneScale.width, theApp->sceneScale.height);
    bindSamplerTexture(GL_TEXTURE_CUBE_MAP, QUAD_CUBE_UNIT, theApp->shadowPass.shadowCubeMap,
                       uniforms.cubeTexture);
    bindSamplerTexture(GL_TEXTURE_2D, QUAD_SOURCE_UNIT, quadSourceTexture(source), uniforms.baseTexture);
    glUniform1i(uniforms.texType, 0);
    glDisable(GL_CULL_FACE);
    drawQuadGeometry();
    glEnable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindTexture(GL_TEXTURE_CUBE_MAP, 0);
}

void drawQuadGeometry() {
    glBindVertexArray(theApp->screenQuad.quadVao);
    glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
}
