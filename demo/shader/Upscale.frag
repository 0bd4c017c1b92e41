#version 330 core
// Upscale: the frame drawn at a share of the window's size, stretched over the window with a Catmull-Rom
// (bicubic) filter, sharper than a bilinear stretch. For the software rasteriser, whose cost follows the
// texture fetches, the 4x4 texels around a pixel are read with five bilinear fetches: the middle two of
// each row and column share one fetch between them (their weights have the same sign), and the four
// corners, whose weights stay below 0.006, are left out and the rest renormalised.

in vec2 uv;

uniform sampler2D frame_texture;

layout(location = 0) out vec4 color;

void main() {
    vec2 size = vec2(textureSize(frame_texture, 0));
    vec2 texel = uv * size - 0.5;
    vec2 base = floor(texel);
    vec2 t = texel - base;
    // The weights of the texels at -1, 0, 1 and 2 from `base`.
    vec2 w0 = t * (-0.5 + t * (1.0 - 0.5 * t));
    vec2 w1 = 1.0 + t * t * (-2.5 + 1.5 * t);
    vec2 w2 = t * (0.5 + t * (2.0 - 1.5 * t));
    vec2 w3 = t * t * (-0.5 + 0.5 * t);
    vec2 w12 = w1 + w2;
    vec2 at0 = (base - 0.5) / size;
    vec2 at12 = (base + 0.5 + w2 / w12) / size;
    vec2 at3 = (base + 2.5) / size;
    vec4 sum = texture(frame_texture, vec2(at12.x, at0.y)) * (w12.x * w0.y) +
               texture(frame_texture, vec2(at0.x, at12.y)) * (w0.x * w12.y) +
               texture(frame_texture, at12) * (w12.x * w12.y) +
               texture(frame_texture, vec2(at3.x, at12.y)) * (w3.x * w12.y) +
               texture(frame_texture, vec2(at12.x, at3.y)) * (w12.x * w3.y);
    float weight = w12.x * (w0.y + w12.y + w3.y) + w12.y * (w0.x + w3.x);
    // The filter's negative lobes overshoot at hard edges.
    color = clamp(sum / weight, 0.0, 1.0);
}
