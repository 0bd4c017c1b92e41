#version 330 core
// Screen quad: shows the post-process result bound to "base_texture" ("texType" 0, the only source).

in vec2 uv;

uniform sampler2D base_texture;

layout(location = 0) out vec4 color;

void main() {
    // The result textures repeat at their edges; a smaller one stretched over the window would pick up
    // the opposite edge in its outermost half texel.
    vec2 margin = 0.5 / vec2(textureSize(base_texture, 0));
    color = texture(base_texture, clamp(uv, margin, 1.0 - margin));
}
