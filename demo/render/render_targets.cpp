#include "render/render_targets.h"

#include <cstdio>

GLuint createTargetTexture(int width, int height, GLint internalFormat, GLenum format, GLenum type,
                           GLint filter) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, type, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

GLuint createColorTarget(int width, int height, GLint filter) {
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
