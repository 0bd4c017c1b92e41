#include "render/uniforms.h"

int uniformLocation(GLuint program, const char* name) {
    return glGetUniformLocation(program, name);
}

void lookUpUniforms(GLuint program, std::initializer_list<UniformSlot> slots) {
    for (const UniformSlot& slot : slots)
        *slot.location = uniformLocation(program, slot.name);
}
