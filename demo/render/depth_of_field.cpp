#include "render/depth_of_field.h"

#include "app/demo_app.h"
#include "render/mesh_draw.h"
#include "render/render_targets.h"
#include "render/scene_target.h"
#include "render/screen_quad.h"

#include <cstdlib>

namespace {

// The offsets are scaled for draws in [0, 32767]; folding larger draws into that range keeps every
// offset inside the unit square whatever the C library's RAND_MAX.
constexpr int DRAW_RANGE = 32768;
constexpr float DRAW_MAX = 32767.0f;

float nextUnitDraw(RandomDraw draw) {
    return static_cast<float>(draw() % DRAW_RANGE) / DRAW_MAX;
}

void storeSettings() {
    theApp->dofNearOn = true;
    theApp->dofFarOn = true;
    theApp->dofNearRadius = 8.0f;
    theApp->dofFarRadius = 12.0f;
    theApp->dofNearStart = 0.0f;
    theApp->dofNearEnd = 0.01f;
    theApp->dofFarStart = 0.08f;
    theApp->dofFarEnd = 0.17f;
    theApp->dofRadiusScale = 0.4f;
}

void createTextures() {
    const int width = theApp->settings->width, height = theApp->settings->height;
    theApp->dofDepthTexture = createTargetTexture(width / 2, height / 2, GL_DEPTH_COMPONENT24,
                                                  GL_DEPTH_COMPONENT, GL_FLOAT, GL_NEAREST);
    theApp->dofBlurTexture1 = createColorTarget(width, height, GL_LINEAR);
    theApp->dofBlurTexture2 = createColorTarget(width, height, GL_LINEAR);
    theApp->dofResultTexture = createColorTarget(width, height, GL_LINEAR);
    createSceneColorTexture();
    theApp->dofSmallTexture = createColorTarget(width / 8, height / 8, GL_LINEAR);
}

void createDepthFramebuffer() {
    glGenFramebuffers(1, &theApp->dofDepthFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->dofDepthFramebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_TEXTURE_2D, theApp->dofDepthTexture, 0);
    glDrawBuffer(GL_NONE);
    glReadBuffer(GL_NONE);
    reportIncompleteFramebuffer("ERROR: Framebuffer is not complete.\n");
}

void createStageFramebuffers() {
    glGenFramebuffers(1, &theApp->dofSmallFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->dofSmallFramebuffer);
    attachColorTargets({theApp->dofSmallTexture});
    reportIncompleteFramebuffer("ERROR: Bloom framebuffer is not complete.\n");

    glGenFramebuffers(1, &theApp->dofFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->dofFramebuffer);
    attachColorTargets({theApp->dofBlurTexture1, theApp->dofBlurTexture2, theApp->dofResultTexture});
    reportIncompleteFramebuffer("ERROR: Bloom framebuffer is not complete.\n");
}

void lookUpDepthUniforms(GLuint program) {
    DofDepthUniforms& u = theApp->dofDepthUniforms;
    u.modelMatrix = glGetUniformLocation(program, "M_matrix");
    u.mvpMatrix = glGetUniformLocation(program, "MVP_matrix");
    u.camPos = glGetUniformLocation(program, "CAM_POS_WS");
    u.nearFar = glGetUniformLocation(program, "near_far");
}

void lookUpStageUniforms(GLuint program) {
    DofUniforms& u = theApp->dofUniforms;
    u.state = glGetUniformLocation(program, "state");
    u.depthTexture = glGetUniformLocation(program, "depth_texture");
    u.sceneTexture = glGetUniformLocation(program, "scene_texture");
    u.blurTexture = glGetUniformLocation(program, "blur_texture");
    u.sceneTextureSmall = glGetUniformLocation(program, "scene_texture_small");
    u.swidth = glGetUniformLocation(program, "swidth");
    u.sheight = glGetUniformLocation(program, "sheight");
    u.dwidth = glGetUniformLocation(program, "dwidth");
    u.dheight = glGetUniformLocation(program, "dheight");
    u.dofShow = glGetUniformLocation(program, "Dof_show");
    u.nearOn = glGetUniformLocation(program, "near_on");
    u.farOn = glGetUniformLocation(program, "far_on");
    u.nearR = glGetUniformLocation(program, "near_r");
    u.farR = glGetUniformLocation(program, "far_r");
    u.nearStart = glGetUniformLocation(program, "near_start");
    u.nearEnd = glGetUniformLocation(program, "near_end");
    u.farStart = glGetUniformLocation(program, "far_start");
    u.farEnd = glGetUniformLocation(program, "far_end");
    u.radiusScale = glGetUniformLocation(program, "radiusScale");
    u.poisson = glGetUniformLocation(program, "poisson");
}

void drawMeshDepth(const Mesh& mesh, const Material& material) {
    const Camera& camera = *theApp->camera;
    const glm::mat4 mvp = camera.projectionMatrix * camera.viewMatrix * mesh.modelMatrix;
    glBindVertexArray(mesh.vao);
    glUniformMatrix4fv(theApp->dofDepthUniforms.modelMatrix, 1, GL_FALSE, &mesh.modelMatrix[0][0]);
    glUniformMatrix4fv(theApp->dofDepthUniforms.mvpMatrix, 1, GL_FALSE, &mvp[0][0]);
    drawMesh(mesh, material);
}

void uploadStageSettings() {
    const DofUniforms& u = theApp->dofUniforms;
    const int width = theApp->settings->width, height = theApp->settings->height;
    glUniform1i(u.swidth, width);
    glUniform1i(u.sheight, height);
    glUniform1i(u.dwidth, width / 2);
    glUniform1i(u.dheight, height / 2);
    glUniform1i(u.nearOn, theApp->dofNearOn);
    glUniform1i(u.farOn, theApp->dofFarOn);
    glUniform1f(u.nearR, theApp->dofNearRadius);
    glUniform1f(u.farR, theApp->dofFarRadius);
    glUniform1f(u.nearStart, theApp->dofNearStart);
    glUniform1f(u.nearEnd, theApp->dofNearEnd);
    glUniform1f(u.farStart, theApp->dofFarStart);
    glUniform1f(u.farEnd, theApp->dofFarEnd);
    glUniform1f(u.radiusScale, theApp->dofRadiusScale);
    glUniform2fv(u.poisson, DOF_SAMPLE_COUNT, &theApp->dofPoissonSamples[0][0]);
    glUniform1f(u.dofShow, static_cast<float>(theApp->dofShow));
}

void bindStageTexture(GLenum unit, GLuint texture, int location) {
    glActiveTexture(GL_TEXTURE0 + unit);
    glBindTexture(GL_TEXTURE_2D, texture);
    glUniform1i(location, static_cast<GLint>(unit));
}

// One full-screen stage into the given attachment of the bound framebuffer.
void runStage(DofState state, GLenum drawBuffer) {
    glUniform1i(theApp->dofUniforms.state, state);
    glDrawBuffer(drawBuffer);
    glClear(GL_COLOR_BUFFER_BIT);
    drawQuadGeometry();
}

} // namespace

void initDepthOfField(GLuint depthProgram, GLuint program) {
    storeSettings();
    createTextures();
    createDepthFramebuffer();
    createSceneFramebuffer();
    createStageFramebuffers();
    lookUpDepthUniforms(depthProgram);
    lookUpStageUniforms(program);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    generatePoissonSamples(theApp->dofPoissonSamples, std::rand);
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
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->dofDepthFramebuffer);
    glViewport(0, 0, theApp->settings->width / 2, theApp->settings->height / 2);
    glClear(GL_DEPTH_BUFFER_BIT);
    const Camera& camera = *theApp->camera;
    glUniform3fv(theApp->dofDepthUniforms.camPos, 1, &camera.position[0]);
    glUniform2f(theApp->dofDepthUniforms.nearFar, camera.nearPlane, camera.farPlane);
    forEachSolidMesh(theApp->scenes, drawMeshDepth);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

void drawDepthOfField() {
    const DofUniforms& u = theApp->dofUniforms;
    const int width = theApp->settings->width, height = theApp->settings->height;
    uploadStageSettings();
    bindStageTexture(0, theApp->dofDepthTexture, u.depthTexture);
    bindStageTexture(1, theApp->sceneColorTexture, u.sceneTexture);
    bindStageTexture(2, theApp->dofBlurTexture1, u.blurTexture);

    glViewport(0, 0, width / 8, height / 8);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->dofSmallFramebuffer);
    glDisable(GL_CULL_FACE);
    runStage(DOF_REDUCE, GL_COLOR_ATTACHMENT0);

    glViewport(0, 0, width, height);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->dofFramebuffer);
    bindStageTexture(3, theApp->dofSmallTexture, u.sceneTextureSmall);
    runStage(DOF_BLUR_SOURCE, GL_COLOR_ATTACHMENT0);
    bindStageTexture(2, theApp->dofBlurTexture1, u.blurTexture);
    runStage(DOF_WIDE_BLUR, GL_COLOR_ATTACHMENT1);
    bindStageTexture(2, theApp->dofBlurTexture2, u.blurTexture);
    glUniform1i(u.sceneTextureSmall, 3);
    runStage(DOF_COMPOSITE, GL_COLOR_ATTACHMENT2);

    glEnable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, 0);
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
