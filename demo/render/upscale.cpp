#include "render/upscale.h"

#include "app/demo_app.h"
#include "render/render_targets.h"
#include "render/uniforms.h"

void initUpscale(GLuint program) {
    const SceneScale& scene = theApp->sceneScale;
    sizeUpscale(scene.width, scene.height, theApp->settings->width, theApp->settings->height);
    lookUpUniforms(program, {{&theApp->upscale.uniforms.frameTexture, "frame_texture"}});
}

void sizeUpscale(int sceneWidth, int sceneHeight, int windowWidth, int windowHeight) {
    Upscale& upscale = theApp->upscale;
    upscale.frameFramebuffer = Framebuffer();
    upscale.frameTexture = Texture();
    if (sceneWidth == windowWidth && sceneHeight == windowHeight)
        return;
    upscale.frameTexture = createColorTarget(sceneWidth, sceneHeight, GL_LINEAR);
    // The filter reads a texel beyond the frame's edge; that is the edge texel, not the opposite side.
    glBindTexture(GL_TEXTURE_2D, upscale.frameTexture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glBindTexture(GL_TEXTURE_2D, 0);
    upscale.frameFramebuffer =
        createColorFramebuffer({upscale.frameTexture}, "ERROR: Upscale framebuffer is not complete.\n");
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
}

bool upscaling() {
    return theApp->upscale.frameFramebuffer != 0;
}

GLuint frameFramebuffer() {
    return upscaling() ? static_cast<GLuint>(theApp->upscale.frameFramebuffer) : theApp->windowFramebuffer();
}

void drawUpscale(int windowWidth, int windowHeight) {
    glBindFramebuffer(GL_FRAMEBUFFER, theApp->windowFramebuffer());
    glViewport(0, 0, windowWidth, windowHeight);
    bindSamplerTexture(GL_TEXTURE_2D, UPSCALE_FRAME_UNIT, theApp->upscale.frameTexture,
                       theApp->upscale.uniforms.frameTexture);
    // The triangle's corners come from the vertex index; the core profile still wants a vertex array bound.
    glBindVertexArray(theApp->screenQuad.quadVao);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindTexture(GL_TEXTURE_2D, 0);
}
