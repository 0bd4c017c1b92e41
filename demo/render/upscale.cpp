#include "render/upscale.h"

#include "app/demo_app.h"
#include "render/render_targets.h"

void initUpscale(GLuint program) {
    const SceneScale& scene = theApp->sceneScale;
    sizeUpscale(scene.width, scene.height, theApp->settings->width, theApp->settings->height);
    theApp->upscale.uniforms.frameTexture = glGetUniformLocation(program, "frame_texture");
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
    glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

bool upscaling() {
    return theApp->upscale.frameFramebuffer != 0;
}

GLuint frameFramebuffer() {
    return upscaling() ? static_cast<GLuint>(theApp->upscale.frameFramebuffer) : WINDOW_FRAMEBUFFER;
}

void drawUpscale(int windowWidth, int windowHeight) {
    glBindFramebuffer(GL_FRAMEBUFFER, WINDOW_FRAMEBUFFER);
    glViewport(0, 0, windowWidth, windowHeight);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, theApp->upscale.frameTexture);
    glUniform1i(theApp->upscale.uniforms.frameTexture, 0);
    // The triangle's corners come from the vertex index; the core profile still wants a vertex array bound.
    glBindVertexArray(theApp->screenQuad.quadVao);
    glDrawArrays(GL_TRIANGLES, 0, 3);
    glBindTexture(GL_TEXTURE_2D, 0);
}
