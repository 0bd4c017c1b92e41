#include "render/bloom.h"

#include "app/demo_app.h"
#include "render/depth_of_field.h"
#include "render/render_targets.h"
#include "render/screen_quad.h"
#include "render/uniforms.h"

namespace {

// Texture units of the bloom program's samplers.
constexpr GLint BLOOM_INPUT_UNIT = 0, BLOOM_SCENE_UNIT = 1;

// The 1-4-6-4-1 binomial weights, so the filter keeps the overall brightness.
const float BLOOM_COEFS[BLOOM_TAP_COUNT] = {0.0625f, 0.25f, 0.375f, 0.25f, 0.0625f};

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
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
    return targets;
}

void lookUpBloomUniforms(GLuint program) {
    BloomUniforms& u = theApp->bloom.uniforms;
    lookUpUniforms(program, {{&u.state, "state"},
                             {&u.baseTexture, "base_texture"},
                             {&u.sceneTexture, "scene_texture"},
                             {&u.coefs, "coefs"},
                             {&u.offset, "offset"}});
}

// One filter pass reading `input` on the input unit into the given attachment of the bloom framebuffer.
void runFilterPass(BloomStage stage, GLuint input, GLenum drawBuffer) {
    glUniform1i(theApp->bloom.uniforms.state, stage);
    glActiveTexture(GL_TEXTURE0 + BLOOM_INPUT_UNIT);
    glBindTexture(GL_TEXTURE_2D, input);
    glDrawBuffer(drawBuffer);
    glClear(GL_COLOR_BUFFER_BIT);
    drawQuadGeometry();
}

} // namespace

void initBloom(GLuint program) {
    sizeBloom(theApp->sceneScale.width, theApp->sceneScale.height);
    for (int i = 0; i < BLOOM_TAP_COUNT; ++i)
        theApp->bloom.bloomCoefs[i] = BLOOM_COEFS[i];
    lookUpBloomUniforms(program);
}

void sizeBloom(int width, int height) {
    Bloom& bloom = theApp->bloom;
    const int bloomWidth = targetSide(width, BLOOM_DIVISOR), bloomHeight = targetSide(height, BLOOM_DIVISOR);
    bloom.targets = createTargets(bloomWidth, bloomHeight);
    bloom.bloomWidth = static_cast<float>(bloomWidth);
    bloom.bloomHeight = static_cast<float>(bloomHeight);
    bloom.bloomTexelOffset = glm::vec2(1.0f / bloom.bloomWidth, 1.0f / bloom.bloomHeight);
}

void reduceForBloom() {
    const DofUniforms& dofUniforms = theApp->depthOfField.uniforms;
    bindSamplerTexture(GL_TEXTURE_2D, DOF_SCENE_UNIT, theApp->sceneTarget.sceneColorTexture,
                       dofUniforms.sceneTexture);
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
    glUniform1i(u.baseTexture, BLOOM_INPUT_UNIT);
    glUniform1fv(u.coefs, BLOOM_TAP_COUNT, bloom.bloomCoefs);
    glUniform2fv(u.offset, 1, &bloom.bloomTexelOffset[0]);
    glDisable(GL_CULL_FACE);
    runFilterPass(BLOOM_BRIGHT_HORIZONTAL, t.bloomInputTexture, GL_COLOR_ATTACHMENT0);
    runFilterPass(BLOOM_VERTICAL, t.bloomBlurTexture1, GL_COLOR_ATTACHMENT1);
    bindSamplerTexture(GL_TEXTURE_2D, BLOOM_SCENE_UNIT, t.bloomInputTexture, u.sceneTexture);
    runFilterPass(BLOOM_GLOW, t.bloomBlurTexture2, GL_COLOR_ATTACHMENT2);
    glEnable(GL_CULL_FACE);
    glActiveTexture(GL_TEXTURE0 + BLOOM_SCENE_UNIT);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
}
