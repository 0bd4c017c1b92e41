#include "render/uniforms.h"

int uniformLocation(GLuint program, const char* name) {
    return glGetUniformLocation(program, name);
}

void lookUpUniforms(GLuint program, std::initializer_list<UniformSlot> slots) {
    for (const UniformSlot& slot : slots)
        *slot.location = uniformLocation(program, slot.name);
}

void bindSamplerTexture(GLenum target, GLint unit, GLuint texture, int location) {
    glActiveTexture(GL_TEXTURE0 + static_cast<GLenum>(unit));
    glBindTexture(target, texture);
    glUniform1i(location, unit);
}
