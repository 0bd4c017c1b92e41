#version 330 core
// Screen quad: shows the post-process result bound to "base_texture".

in vec2 uv;

uniform sampler2D base_texture;

layout(location = 0) out vec4 color;

void main() {
    color = texture(base_texture, uv);
}
