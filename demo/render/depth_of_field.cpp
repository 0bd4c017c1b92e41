#include "render/depth_of_field.h"

#include "app/demo_app.h"
#include "render/mesh_draw.h"
#include "render/render_targets.h"
#include "render/scene_target.h"
#include "render/screen_quad.h"
#include "render/uniforms.h"

#include <cstdlib>

namespace {

// The offsets are scaled for draws in [0, 32767]; folding larger draws into that range keeps every
// offset inside the unit square whatever the C library's RAND_MAX.
constexpr int DRAW_RANGE = 32768;
constexpr float DRAW_MAX = 32767.0f;

float nextUnitDraw(RandomDraw draw) {
    return static_cast<float>(draw() % DRAW_RANGE) / DRAW_MAX;
}

void createDepthFramebuffer(DofTargets& targets) {
    targets.dofDepthFramebuffer = bindNewFramebuffer();
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, targets.dofDepthTexture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    reportIncompleteFramebuffer("ERROR: Framebuffer is not complete.\n");
}

DofTargets createTargets(int width, int height) {
    DofTargets targets;
    targets.fullSize = glm::ivec2(targetSide(width, 1), targetSide(height, 1));
    targets.depthSize =
        glm::ivec2(targetSide(width, DOF_DEPTH_DIVISOR), targetSide(height, DOF_DEPTH_DIVISOR));
    targets.smallSize =
        glm::ivec2(targetSide(width, DOF_SMALL_DIVISOR), targetSide(height, DOF_SMALL_DIVISOR));
    const glm::ivec2 full = targets.fullSize, depth = targets.depthSize, small = targets.smallSize;
    targets.dofDepthTexture =
        createTargetTexture(depth.x, depth.y, GL_DEPTH_COMPONENT24, GL_DEPTH_COMPONENT, GL_FLOAT, GL_NEAREST);
    targets.dofBlurTexture1 = createColorTarget(full.x, full.y, GL_LINEAR);
    targets.dofBlurTexture2 = createColorTarget(full.x, full.y, GL_LINEAR);
    targets.dofResultTexture = createColorTarget(full.x, full.y, GL_LINEAR);
    targets.dofSmallTexture = createColorTarget(small.x, small.y, GL_LINEAR);
    createDepthFramebuffer(targets);
    targets.dofSmallFramebuffer =
        createColorFramebuffer({targets.dofSmallTexture}, "ERROR: Bloom framebuffer is not complete.\n");
    targets.dofFramebuffer =
        createColorFramebuffer({targets.dofBlurTexture1, targets.dofBlurTexture2, targets.dofResultTexture},
                               "ERROR: Bloom framebuffer is not complete.\n");
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
    return targets;
}

void lookUpDepthUniforms(GLuint program) {
    DofDepthUniforms& u = theApp->depthOfField.depthUniforms;
    lookUpUniforms(program, {{&u.modelMatrix, "M_matrix"},
                             {&u.mvpMatrix, "MVP_matrix"},
                             {&u.camPos, "CAM_POS_WS"},
                             {&u.nearFar, "near_far"}});
}

void lookUpStageUniforms(GLuint program) {
    DofUniforms& u = theApp->depthOfField.uniforms;
    lookUpUniforms(program, {{&u.state, "state"},
                             {&u.depthTexture, "depth_texture"},
                             {&u.sceneTexture, "scene_texture"},
                             {&u.blurTexture, "blur_texture"},
                             {&u.sceneTextureSmall, "scene_texture_small"},
                             {&u.swidth, "swidth"},
                             {&u.sheight, "sheight"},
                             {&u.dwidth, "dwidth"},
                             {&u.dheight, "dheight"},
                             {&u.dofShow, "Dof_show"},
                             {&u.nearOn, "near_on"},
                             {&u.farOn, "far_on"},
                             {&u.nearR, "near_r"},
                             {&u.farR, "far_r"},
                             {&u.nearStart, "near_start"},
                             {&u.nearEnd, "near_end"},
                             {&u.farStart, "far_start"},
                             {&u.farEnd, "far_end"},
                             {&u.radiusScale, "radiusScale"},
                             {&u.poisson, "poisson"}});
}

void uploadStageSettings() {
    const DepthOfField& dof = theApp->depthOfField;
    const DofUniforms& u = dof.uniforms;
    glUniform1i(u.swidth, dof.targets.fullSize.x);
    glUniform1i(u.sheight, dof.targets.fullSize.y);
    glUniform1i(u.dwidth, dof.targets.depthSize.x);
    glUniform1i(u.dheight, dof.targets.depthSize.y);
    glUniform1i(u.nearOn, DepthOfField::dofNearOn);
    glUniform1i(u.farOn, DepthOfField::dofFarOn);
    glUniform1f(u.nearR, DepthOfField::dofNearRadius);
    glUniform1f(u.farR, DepthOfField::dofFarRadius);
    glUniform1f(u.nearStart, DepthOfField::dofNearStart);
    glUniform1f(u.nearEnd, DepthOfField::dofNearEnd);
    glUniform1f(u.farStart, DepthOfField::dofFarStart);
    glUniform1f(u.farEnd, DepthOfField::dofFarEnd);
    // The radii count the scene image's pixels: a scene drawn smaller blurs as much of the window with fewer.
    glUniform1f(u.radiusScale, DepthOfField::dofRadiusScale * theApp->sceneScale.scale);
    glUniform2fv(u.poisson, DOF_SAMPLE_COUNT, &dof.dofPoissonSamples[0][0]);
    glUniform1f(u.dofShow, static_cast<float>(theApp->dofShow));
}

// One full-screen stage into the given attachment of the bound framebuffer.
void runStage(DofState state, GLenum drawBuffer) {
    glUniform1i(theApp->depthOfField.uniforms.state, state);
    glDrawBuffer(drawBuffer);
    glClear(GL_COLOR_BUFFER_BIT);
    drawQuadGeometry();
}

} // namespace

void drawCameraDepth(const Mesh& mesh, const Material& material) {
    const Camera& camera = *theApp->camera;
    const glm::mat4 mvp = camera.projectionMatrix * camera.viewMatrix * mesh.modelMatrix;
    glBindVertexArray(mesh.vao);
    const DofDepthUniforms& u = theApp->depthOfField.depthUniforms;
    glUniformMatrix4fv(u.modelMatrix, 1, GL_FALSE, &mesh.modelMatrix[0][0]);
    glUniformMatrix4fv(u.mvpMatrix, 1, GL_FALSE, &mvp[0][0]);
    drawMesh(mesh, material);
}

void initDepthOfField(GLuint depthProgram, GLuint program) {
    const SceneScale& scene = theApp->sceneScale;
    sizeSceneTarget(scene.width, scene.height);
    sizeDepthOfField(scene.width, scene.height);
    lookUpDepthUniforms(depthProgram);
    lookUpStageUniforms(program);
    generatePoissonSamples(theApp->depthOfField.dofPoissonSamples, std::rand);
}

void sizeDepthOfField(int width, int height) {
    theApp->depthOfField.targets = createTargets(width, height);
}

void generatePoissonSamples(glm::vec2 (&samples)[DOF_SAMPLE_COUNT], RandomDraw draw) {
    for (glm::vec2& sample : samples) {
        const float signX = nextUnitDraw(draw);
        const float signY = nextUnitDraw(draw);
        sample.x = nextUnitDraw(draw);
        sample.y = nextUnitDraw(draw);
        if (signX < 0.5f)
            sample.x = -sample.x;
        if (signY < 0.5f)
            sample.y = -sample.y;
    }
}

void drawDofDepth() {
    const DepthOfField& dof = theApp->depthOfField;
    glBindFramebuffer(GL_FRAMEBUFFER, dof.targets.dofDepthFramebuffer);
    glViewport(0, 0, dof.targets.depthSize.x, dof.targets.depthSize.y);
    glClear(GL_DEPTH_BUFFER_BIT);
    const Camera& camera = *theApp->camera;
    glUniform3fv(dof.depthUniforms.camPos, 1, &camera.position[0]);
    glUniform2f(dof.depthUniforms.nearFar, camera.nearPlane, camera.farPlane);
    forEachSolidMesh(theApp->scenes, drawCameraDepth);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
}

void drawDepthOfField() {
    const DofUniforms& u = theApp->depthOfField.uniforms;
    const DofTargets& t = theApp->depthOfField.targets;
    uploadStageSettings();
    bindSamplerTexture(GL_TEXTURE_2D, DOF_DEPTH_UNIT, t.dofDepthTexture, u.depthTexture);
    bindSamplerTexture(GL_TEXTURE_2D, DOF_SCENE_UNIT, theApp->sceneTarget.sceneColorTexture, u.sceneTexture);
    bindSamplerTexture(GL_TEXTURE_2D, DOF_BLUR_UNIT, t.dofBlurTexture1, u.blurTexture);

    glViewport(0, 0, t.smallSize.x, t.smallSize.y);
    glBindFramebuffer(GL_FRAMEBUFFER, t.dofSmallFramebuffer);
    glDisable(GL_CULL_FACE);
    runStage(DOF_REDUCE, GL_COLOR_ATTACHMENT0);

    glViewport(0, 0, t.fullSize.x, t.fullSize.y);
    glBindFramebuffer(GL_FRAMEBUFFER, t.dofFramebuffer);
    bindSamplerTexture(GL_TEXTURE_2D, DOF_SMALL_UNIT, t.dofSmallTexture, u.sceneTextureSmall);
    runStage(DOF_BLUR_SOURCE, GL_COLOR_ATTACHMENT0);
    bindSamplerTexture(GL_TEXTURE_2D, DOF_BLUR_UNIT, t.dofBlurTexture1, u.blurTexture);
    runStage(DOF_WIDE_BLUR, GL_COLOR_ATTACHMENT1);
    bindSamplerTexture(GL_TEXTURE_2D, DOF_BLUR_UNIT, t.dofBlurTexture2, u.blurTexture);
    glUniform1i(u.sceneTextureSmall, DOF_SMALL_UNIT);
    runStage(DOF_COMPOSITE, GL_COLOR_ATTACHMENT2);

    glEnable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
}
