#version 330 core
// Upscale: the frame drawn at a share of the window's size, stretched over the window with a Catmull-Rom
// (bicubic) filter, sharper than a bilinear stretch. Each pixel weighs the 4x4 texels around it; the middle
// two of each row and column are read with one bilinear fetch between them (their weights have the same
// sign), so nine fetches do it: the software rasteriser pays per fetch.

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
    vec2 xs[3] = vec2[3](vec2(at0.x, w0.x), vec2(at12.x, w12.x), vec2(at3.x, w3.x));
    vec2 ys[3] = vec2[3](vec2(at0.y, w0.y), vec2(at12.y, w12.y), vec2(at3.y, w3.y));
    vec4 sum = vec4(0.0);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i)
            sum += texture(frame_texture, vec2(xs[i].x, ys[j].x)) * (xs[i].y * ys[j].y);
    // The filter's negative lobes overshoot at hard edges.
    color = clamp(sum, 0.0, 1.0);
}
