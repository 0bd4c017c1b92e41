#include "render/scene_target.h"

#include "app/demo_app.h"
#include "render/render_targets.h"

namespace {

SceneTarget createSceneTarget(int width, int height) {
    SceneTarget target;
    target.sceneColorTexture = createColorTarget(width, height, GL_LINEAR);
    target.sceneFramebuffer = bindNewFramebuffer();
    target.sceneDepthBuffer = Renderbuffer::generate();
    glBindRenderbuffer(GL_RENDERBUFFER, target.sceneDepthBuffer);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, target.sceneDepthBuffer);
    attachColorTargets({target.sceneColorTexture});
    reportIncompleteFramebuffer("ERROR: Scene framebuffer is not complete.\n");
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
    return target;
}

} // namespace

void sizeSceneTarget(int width, int height) {
    theApp->sceneTarget = createSceneTarget(targetSide(width, 1), targetSide(height, 1));
}
