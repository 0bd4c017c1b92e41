#version 330 core
// Screen quad: covers the window at the near end of the depth range, so it passes the depth test.

layout(location = 0) in vec2 position;
layout(location = 1) in vec2 texCoord;

out vec2 uv;

void main() {
    gl_Position = vec4(position, -1.0, 1.0);
    uv = texCoord;
}
