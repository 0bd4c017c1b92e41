#version 330 core
// Depth-of-field depth stage: the camera's clip position of each vertex.

layout(location = 0) in vec3 position;

uniform mat4 MVP_matrix;

// The scene pass lays this depth down before it shades, and computes its own position the same way.
invariant gl_Position;

void main() {
    gl_Position = MVP_matrix * vec4(position, 1.0);
}
