#include "render/scene_target.h"

#include "app/demo_app.h"
#include "render/render_targets.h"

namespace {

// A renderbuffer of `samples` samples (0: a plain one), attached to the bound framebuffer.
Renderbuffer attachRenderbuffer(GLenum attachment, GLenum format, int samples, int width, int height) {
    Renderbuffer renderbuffer = Renderbuffer::generate();
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, renderbuffer);
    return renderbuffer;
}

} // namespace

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
    // The depth precision of the window, which showed this picture before it was shaded off-screen.
    target.multisampleDepthBuffer =
        attachRenderbuffer(GL_DEPTH_ATTACHMENT, GL_DEPTH_COMPONENT32, SCENE_SAMPLES, width, height);
    reportIncompleteFramebuffer("ERROR: Scene framebuffer is not complete.\n");
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
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
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}
