#include "render/bloom.h"

#include "app/demo_app.h"
#include "render/depth_of_field.h"
#include "render/render_targets.h"
#include "render/screen_quad.h"

namespace {

// The 1-4-6-4-1 binomial weights, so the filter keeps the overall brightness.
const float BLOOM_COEFS[5] = {0.0625f, 0.25f, 0.375f, 0.25f, 0.0625f};

int bloomPixelWidth() {
    return static_cast<int>(theApp->bloom.bloomWidth);
}
int bloomPixelHeight() {
    return static_cast<int>(theApp->bloom.bloomHeight);
}

BloomTargets createTargets(int width, int height) {
    BloomTargets targets;
    Texture* textures[4] = {&targets.bloomInputTexture, &targets.bloomBlurTexture1,
                            &targets.bloomBlurTexture2, &targets.bloomResultTexture};
    for (Texture* texture : textures)
        *texture = createColorTarget(width, height, GL_LINEAR);
    targets.bloomInputFramebuffer =
        createColorFramebuffer({targets.bloomInputTexture}, "ERROR: Scene framebuffer is not complete.\n");
    targets.bloomFramebuffer = createColorFramebuffer(
        {targets.bloomBlurTexture1, targets.bloomBlurTexture2, targets.bloomResultTexture},
        "ERROR: Bloom framebuffer is not complete.\n");
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return targets;
}

void lookUpUniforms(GLuint program) {
    BloomUniforms& u = theApp->bloom.uniforms;
    u.state = glGetUniformLocation(program, "state");
    u.baseTexture = glGetUniformLocation(program, "base_texture");
    u.sceneTexture = glGetUniformLocation(program, "scene_texture");
    u.coefs = glGetUniformLocation(program, "coefs");
    u.offset = glGetUniformLocation(program, "offset");
}

// One filter pass reading `input` on unit 0 into the given attachment of the bloom framebuffer.
void runFilterPass(BloomStage stage, GLuint input, GLenum drawBuffer) {
    glUniform1i(theApp->bloom.uniforms.state, stage);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, input);
    glDrawBuffer(drawBuffer);
    glClear(GL_COLOR_BUFFER_BIT);
    drawQuadGeometry();
}

} // namespace

void initBloom(GLuint program) {
    sizeBloom(theApp->sceneScale.width, theApp->sceneScale.height);
    for (int i = 0; i < 5; ++i)
        theApp->bloom.bloomCoefs[i] = BLOOM_COEFS[i];
    lookUpUniforms(program);
}

void sizeBloom(int width, int height) {
    Bloom& bloom = theApp->bloom;
    const int bloomWidth = targetSide(width, 4), bloomHeight = targetSide(height, 4);
    bloom.targets = createTargets(bloomWidth, bloomHeight);
    bloom.bloomWidth = static_cast<float>(bloomWidth);
    bloom.bloomHeight = static_cast<float>(bloomHeight);
    bloom.bloomTexelOffset = glm::vec2(1.0f / bloom.bloomWidth, 1.0f / bloom.bloomHeight);
}

void reduceForBloom() {
    const DofUniforms& dofUniforms = theApp->depthOfField.uniforms;
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, theApp->sceneTarget.sceneColorTexture);
    glUniform1i(dofUniforms.sceneTexture, 1);
    glViewport(0, 0, bloomPixelWidth(), bloomPixelHeight());
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->bloom.targets.bloomInputFramebuffer);
    glUniform1i(dofUniforms.state, DOF_REDUCE);
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glClear(GL_COLOR_BUFFER_BIT);
    drawQuadGeometry();
}

void drawBloom() {
    const Bloom& bloom = theApp->bloom;
    const BloomTargets& t = bloom.targets;
    const BloomUniforms& u = bloom.uniforms;
    glViewport(0, 0, bloomPixelWidth(), bloomPixelHeight());
    glBindFramebuffer(GL_FRAMEBUFFER, t.bloomFramebuffer);
    glUniform1i(u.baseTexture, 0);
    glUniform1fv(u.coefs, 5, bloom.bloomCoefs);
    glUniform2fv(u.offset, 1, &bloom.bloomTexelOffset[0]);
    glDisable(GL_CULL_FACE);
    runFilterPass(BLOOM_BRIGHT_HORIZONTAL, t.bloomInputTexture, GL_COLOR_ATTACHMENT0);
    runFilterPass(BLOOM_VERTICAL, t.bloomBlurTexture1, GL_COLOR_ATTACHMENT1);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, t.bloomInputTexture);
    glUniform1i(u.sceneTexture, 1);
    runFilterPass(BLOOM_GLOW, t.bloomBlurTexture2, GL_COLOR_ATTACHMENT2);
    glEnable(GL_CULL_FACE);
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
