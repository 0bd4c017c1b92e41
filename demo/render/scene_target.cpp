#include "render/scene_target.h"

#include "app/demo_app.h"
#include "render/render_targets.h"

SceneTarget createSceneTarget(int width, int height, GLenum colorFormat) {
    SceneTarget target;
    target.sceneColorTexture =
        createTargetTexture(width, height, colorFormat, GL_RGBA, GL_UNSIGNED_BYTE, GL_LINEAR);
    target.sceneFramebuffer = bindNewFramebuffer();
    target.sceneDepthBuffer = attachRenderbuffer(GL_DEPTH_ATTACHMENT, GL_DEPTH_COMPONENT, 0, width, height);
    attachColorTargets({target.sceneColorTexture});
    reportIncompleteFramebuffer("ERROR: Scene framebuffer is not complete.\n");
    target.multisampleFramebuffer = bindNewFramebuffer();
    target.multisampleColorBuffer =
        attachRenderbuffer(GL_COLOR_ATTACHMENT0, colorFormat, SCENE_SAMPLES, width, height);
    // 32-bit depth, as the window's own depth buffer has, so that near surfaces resolve as they do there.
    target.multisampleDepthBuffer =
        attachRenderbuffer(GL_DEPTH_ATTACHMENT, GL_DEPTH_COMPONENT32, SCENE_SAMPLES, width, height);
    reportIncompleteFramebuffer("ERROR: Scene framebuffer is not complete.\n");
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
    return target;
}

void sizeSceneTarget(int width, int height) {
    theApp->sceneTarget = createSceneTarget(targetSide(width, 1), targetSide(height, 1), GL_SRGB8_ALPHA8);
}

void copyPicture(GLuint from, GLuint to) {
    const int width = theApp->sceneScale.width, height = theApp->sceneScale.height;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, from);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, to);
    glBlitFramebuffer(0, 0, width, height, 0, 0, width, height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
}
