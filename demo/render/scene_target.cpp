#include "render/scene_target.h"

#include "app/demo_app.h"
#include "render/render_targets.h"

void createSceneColorTexture() {
    theApp->sceneColorTexture =
        createColorTarget(theApp->settings->width, theApp->settings->height, GL_LINEAR);
}

void createSceneFramebuffer() {
    glGenFramebuffers(1, &theApp->sceneFramebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->sceneFramebuffer);
    GLuint depth = 0;
    glGenRenderbuffers(1, &depth);
    glBindRenderbuffer(GL_RENDERBUFFER, depth);
    glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT, theApp->settings->width,
                          theApp->settings->height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    attachColorTargets({theApp->sceneColorTexture});
    reportIncompleteFramebuffer("ERROR: Scene framebuffer is not complete.\n");
}
