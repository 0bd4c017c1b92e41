#version 330 core
// Shadow pass, vertex stage: the world-space position; the geometry stage projects it onto each cube face.

layout(location = 0) in vec3 position;

uniform mat4 MODEL_matrix;

void main() {
    gl_Position = MODEL_matrix * vec4(position, 1.0);
}
