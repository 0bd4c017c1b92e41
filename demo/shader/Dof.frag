#version 330 core
// Depth-of-field stages: shows the scene image at every stage.

in vec2 uv;

uniform sampler2D scene_texture;

layout(location = 0) out vec4 color;

void main() {
    color = texture(scene_texture, uv);
}
