#version 330 core
// Bloom filter stages: passes the input image through.

in vec2 uv;

uniform sampler2D base_texture;

layout(location = 0) out vec4 color;

void main() {
    color = texture(base_texture, uv);
}
