#include "render/render_targets.h"

#include <algorithm>
#include <cstdio>

Texture createTargetTexture(int width, int height, GLint internalFormat, GLenum format, GLenum type,
                            GLint filter) {
    Texture texture = Texture::generate();
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

Texture createColorTarget(int width, int height, GLint filter) {
    return createTargetTexture(width, height, GL_SRGB8_ALPHA8, GL_RGBA, GL_UNSIGNED_BYTE, filter);
}

void attachColorTargets(std::initializer_list<GLuint> textures) {
    GLenum attachment = GL_COLOR_ATTACHMENT0;
    for (GLuint texture : textures)
        glFramebufferTexture2D(GL_FRAMEBUFFER, attachment++, GL_TEXTURE_2D, texture, 0);
}

void reportIncompleteFramebuffer(const char* message) {
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE)
        printf("%s", message);
}

Framebuffer bindNewFramebuffer() {
    Framebuffer framebuffer = Framebuffer::generate();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    return framebuffer;
}

Framebuffer createColorFramebuffer(std::initializer_list<GLuint> textures, const char* incompleteMessage) {
    Framebuffer framebuffer = bindNewFramebuffer();
    attachColorTargets(textures);
    reportIncompleteFramebuffer(incompleteMessage);
    return framebuffer;
}

Renderbuffer attachRenderbuffer(GLenum attachment, GLenum format, int samples, int width, int height) {
    Renderbuffer renderbuffer = Renderbuffer::generate();
    glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    glRenderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, renderbuffer);
    return renderbuffer;
}

int targetSide(int size, int divisor) {
    return std::max(1, size / divisor);
}
