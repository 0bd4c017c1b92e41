#include "render/gl_objects.h"

Buffer uploadAttribute(GLuint location, GLint components, const float* data, size_t vertexCount) {
    Buffer buffer = Buffer::generate();
    glBindBuffer(GL_ARRAY_BUFFER, buffer);
    glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertexCount * components * sizeof(float)), data,
                 GL_STATIC_DRAW);
    glVertexAttribPointer(location, components, GL_FLOAT, GL_FALSE, 0, nullptr);
    glEnableVertexAttribArray(location);
    return buffer;
}
