// Uniform locations: each pass keeps its own in a struct of ints, filled here by name from its program.
#pragma once

#include <epoxy/gl.h>

#include <initializer_list>

// One uniform of a program: where its location goes, and its name in the shader.
struct UniformSlot {
    int* location;
    const char* name;
};

// The location of uniform `name` in `program`; -1 where the program has no such active uniform.
int uniformLocation(GLuint program, const char* name);

// Fills each slot with its uniform's location in `program`.
void lookUpUniforms(GLuint program, std::initializer_list<UniformSlot> slots);

// Binds `texture` to `target` on texture unit `unit` (left active) and sets the sampler uniform at
// `location` to that unit.
void bindSamplerTexture(GLenum target, GLint unit, GLuint texture, int location);
