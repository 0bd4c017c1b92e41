#include "render/bloom.h"

#include "app/demo_app.h"
#include "render/depth_of_field.h"
#include "render/render_targets.h"
#include "render/screen_quad.h"

namespace {

// The 1-4-6-4-1 binomial weights, so the filter keeps the overall brightness.
const float BLOOM_COEFS[5] = {0.0625f, 0.25f, 0.375f, 0.25f, 0.0625f};

int bloomPixelWidth() {
    return static_cast<int>(theApp->bloomWidth);
}
int bloomPixelHeight() {
    return static_cast<int>(theApp->bloomHeight);
}

void createTextures() {
    GLuint* textures[4] = {&theApp->bloomInputTexture, &theApp->bloomBlurTexture1, &theApp->bloomBlurTexture2,
                           &theApp->bloomResultTexture};
    for (GLuint* texture : textures)
        *texture = createColorTarget(bloomPixelWidth(), bloomPixelHeight(), GL_LINEAR);
}

void attachTextures() {
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->bloomInputFramebuffer);
    attachColorTargets({theApp->bloomInputTexture});
    reportIncompleteFramebuffer("ERROR: Scene framebuffer is not complete.\n");

    glBindFramebuffer(GL_FRAMEBUFFER, theApp->bloomFramebuffer);
    attachColorTargets({theApp->bloomBlurTexture1, theApp->bloomBlurTexture2, theApp->bloomResultTexture});
    reportIncompleteFramebuffer("ERROR: Bloom framebuffer is not complete.\n");
}

void setFilterConstants() {
    theApp->bloomTexelOffset = glm::vec2(1.0f / theApp->bloomWidth, 1.0f / theApp->bloomHeight);
    for (int i = 0; i < 5; ++i)
        theApp->bloomCoefs[i] = BLOOM_COEFS[i];
}

void lookUpUniforms(GLuint program) {
    BloomUniforms& u = theApp->bloomUniforms;
    u.state = glGetUniformLocation(program, "state");
    u.baseTexture = glGetUniformLocation(program, "base_texture");
    u.sceneTexture = glGetUniformLocation(program, "scene_texture");
    u.coefs = glGetUniformLocation(program, "coefs");
    u.offset = glGetUniformLocation(program, "offset");
}

// One filter pass reading `input` on unit 0 into the given attachment of the bloom framebuffer.
void runFilterPass(int state, GLuint input, GLenum drawBuffer) {
    glUniform1i(theApp->bloomUniforms.state, state);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, input);
    glDrawBuffer(drawBuffer);
    glClear(GL_COLOR_BUFFER_BIT);
    drawQuadGeometry();
}

} // namespace

void initBloom(GLuint program) {
    glGenFramebuffers(1, &theApp->bloomInputFramebuffer);
    glGenFramebuffers(1, &theApp->bloomFramebuffer);
    createTextures();
    attachTextures();
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    setFilterConstants();
    lookUpUniforms(program);
}

void reduceForBloom() {
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, theApp->sceneColorTexture);
    glUniform1i(theApp->dofUniforms.sceneTexture, 1);
    glViewport(0, 0, bloomPixelWidth(), bloomPixelHeight());
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->bloomInputFramebuffer);
    glUniform1i(theApp->dofUniforms.state, DOF_REDUCE);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glClear(GL_COLOR_BUFFER_BIT);
    drawQuadGeometry();
}

void drawBloom() {
    const BloomUniforms& u = theApp->bloomUniforms;
    glViewport(0, 0, bloomPixelWidth(), bloomPixelHeight());
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->bloomFramebuffer);
    glUniform1i(u.baseTexture, 0);
    glUniform1fv(u.coefs, 5, theApp->bloomCoefs);
    glUniform2fv(u.offset, 1, &theApp->bloomTexelOffset[0]);
    glDisable(GL_CULL_FACE);
    runFilterPass(0, theApp->bloomInputTexture, GL_COLOR_ATTACHMENT0);
    runFilterPass(1, theApp->bloomBlurTexture1, GL_COLOR_ATTACHMENT1);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, theApp->bloomInputTexture);
    glUniform1i(u.sceneTexture, 1);
    runFilterPass(2, theApp->bloomBlurTexture2, GL_COLOR_ATTACHMENT2);
    glEnable(GL_CULL_FACE);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
