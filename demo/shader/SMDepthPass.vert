#version 330 core
// Shadow vertex stage: world-space position, projected per cube face by the geometry stage.

layout(location = 0) in vec3 position;

uniform mat4 MODEL_matrix;

void main() {
    gl_Position = MODEL_matrix * vec4(position, 1.0);
}
