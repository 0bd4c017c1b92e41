#version 330 core
// Bloom filter, one pass per "state" on the reduced scene image:
//   0  keeps only the bright parts and blurs them horizontally (5 taps, "coefs", "offset");
//   1  blurs vertically;
//   2  the glow to add onto the frame: the blurred bright parts, widened, with the bright core of the
//      reduced scene ("scene_texture"); alpha 0 so the window's alpha is left as it is.

in vec2 uv;

uniform int state;
uniform sampler2D base_texture;
uniform sampler2D scene_texture;
uniform float coefs[BLOOM_TAP_COUNT];
uniform vec2 offset;

layout(location = 0) out vec4 color;

// Linear brightness where the glow starts and where it is full.
const float BRIGHT_START = 0.66;
const float BRIGHT_FULL = 0.85;
const float GLOW_STRENGTH = 1.0;
const float CORE_STRENGTH = 0.25;

// The bloom targets repeat at their edges: every tap stays half a texel inside.
vec3 tap(vec2 at) { return texture(base_texture, clamp(at, 0.5 * offset, 1.0 - 0.5 * offset)).rgb; }

vec3 brightPart(vec3 c) {
    float peak = max(c.r, max(c.g, c.b));
    return c * smoothstep(BRIGHT_START, BRIGHT_FULL, peak);
}

vec3 filtered(vec2 step, bool brightOnly) {
    vec3 sum = vec3(0.0);
    for (int i = 0; i < BLOOM_TAP_COUNT; ++i) {
        vec3 c = tap(uv + float(i - BLOOM_TAP_COUNT / 2) * step);
        sum += coefs[i] * (brightOnly ? brightPart(c) : c);
    }
    return sum;
}

// The blurred image sampled once more at four diagonal corners, two pixels out, for a wider glow.
vec3 widened() {
    vec3 sum = tap(uv) * 0.5;
    for (int i = 0; i < 4; ++i) {
        vec2 corner = vec2(i % 2 == 0 ? -2.0 : 2.0, i < 2 ? -2.0 : 2.0);
        sum += tap(uv + corner * offset) * 0.125;
    }
    return sum;
}

// Both sides of a branch cost time on a software rasteriser, so passes 0 and 1 share their taps.
void main() {
    if (state == 2) {
        vec3 core = brightPart(texture(scene_texture, uv).rgb);
        color = vec4(GLOW_STRENGTH * widened() + CORE_STRENGTH * core, 0.0);
    } else {
        vec2 step = state == 0 ? vec2(offset.x, 0.0) : vec2(0.0, offset.y);
        color = vec4(filtered(step, state == 0), 0.0);
    }
}
