#version 330 core
// Depth of field, one full-screen stage per "state":
//   2  box-reduces "scene_texture" into the bound target (also the bloom's input); keeps the whole image;
//   0  the scene colour, with the signed blur amount of its depth in alpha (near below, far above half);
//   1  the wide blur of each blurred pixel, from the reduced image;
//   3  the finished image, sharp and wide blur mixed by the blur amount; or, with "Dof_show" 1 to 3,
//      the blur amount (red near, green in focus, blue far), the depth (grey), the reduced image.

in vec2 uv;

uniform int state;
uniform sampler2D depth_texture;
uniform sampler2D scene_texture;
uniform sampler2D blur_texture;
uniform sampler2D scene_texture_small;
uniform int swidth;
uniform int sheight;
uniform int dwidth;
uniform int dheight;
uniform float Dof_show;
uniform int near_on;
uniform int far_on;
uniform float near_r;
uniform float far_r;
uniform float near_start;
uniform float near_end;
uniform float far_start;
uniform float far_end;
uniform float radiusScale;
uniform vec2 poisson[DOF_SAMPLE_COUNT];

layout(location = 0) out vec4 color;

// The camera's clip planes, fixed for the whole run: the depth pass stores plain window depth.
// CAMERA_NEAR_PLANE and the like are defined by the shader loader (render/shader_constants.h).
const vec2 near_far = vec2(CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE);

// Eye distance scaled to 0 at the near plane and 1 at the far plane.
float linearDepth(float depth) {
    float eye = near_far.x * near_far.y / (near_far.y - depth * (near_far.y - near_far.x));
    return (eye - near_far.x) / (near_far.y - near_far.x);
}

float depthAt(vec2 at) {
    ivec2 size = ivec2(dwidth, dheight);
    return linearDepth(texelFetch(depth_texture, clamp(ivec2(at * vec2(size)), ivec2(0), size - 1), 0).r);
}

// The nearest of the four depth texels around the pixel. The depth is rendered at half size, so a thin
// object in focus (a leaf, a rail) may be missing from the texel under a pixel it covers, and would be
// blurred away with its background.
float nearestDepthAround() {
    ivec2 size = ivec2(dwidth, dheight);
    ivec2 first = ivec2(floor(uv * vec2(size) - 0.5));
    float nearest = 1.0;
    for (int i = 0; i < 4; ++i) {
        ivec2 texel = clamp(first + ivec2(i % 2, i / 2), ivec2(0), size - 1);
        nearest = min(nearest, texelFetch(depth_texture, texel, 0).r);
    }
    return linearDepth(nearest);
}

// -1 fully blurred near, 0 in focus, +1 fully blurred far.
float signedBlur(float depth) {
    float nearBlur = near_on != 0 ? 1.0 - smoothstep(near_start, near_end, depth) : 0.0;
    float farBlur = far_on != 0 ? smoothstep(far_start, far_end, depth) : 0.0;
    return nearBlur > farBlur ? -nearBlur : farBlur;
}

// The signed blur amount in the 8-bit alpha channel, with 0 (in focus) stored exactly.
float encodeBlur(float blur) { return (127.0 + 127.0 * blur) / 255.0; }
float blurOf(vec4 texel) { return (round(texel.a * 255.0) - 127.0) / 127.0; }

// The software rasteriser runs both sides of every branch, and a loop's body once more than its count:
// so the stages share their single taps, and the multi-tap work sits in loops that run a single empty
// round in the other stages. (Indexing an array with the loop counter would let the compiler unroll them.)

// Stage 2: 4 x 4 taps over the target pixel's footprint, with bilinear filtering an exact box average
// for 4x and 8x reductions.
vec3 reduceScene() {
    vec2 step = 0.25 * fwidth(uv);
    vec3 sum = vec3(0.0);
    for (int i = 0; i < (state == 2 ? 16 : 0); ++i)
        sum += texture(scene_texture, uv + (vec2(i % 4, i / 4) - 1.5) * step).rgb;
    return sum / 16.0;
}

// Stage 1: the reduced image, already averaged over 8 x 8 pixels, read at four points around the pixel:
// the first "poisson" offset turned by quarter turns, scaled to "radiusScale" times the blur radius.
// Behind a far-blurred pixel, a tap that is nearer and sharper counts only as much as it is blurred
// itself, so an in-focus edge leaves no halo; the pixel's own colour stands in where no tap counts.
// Stage 3 reads the reduced image here too, once, under the pixel, for its view.
vec3 wideBlur(vec4 own, int taps) {
    float blur = blurOf(own);
    float radius = (blur < 0.0 ? -blur * near_r : blur * far_r) * radiusScale;
    vec2 offset = poisson[0] * radius / vec2(swidth, sheight);
    vec2 margin = 0.5 / vec2(textureSize(scene_texture_small, 0));
    vec3 sum = own.rgb * 0.01;
    float total = 0.01;
    for (int i = 0; i < taps; ++i) {
        vec2 at = clamp(uv + offset, margin, 1.0 - margin);
        float weight = blur > 0.0 ? clamp(signedBlur(depthAt(at)) / blur, 0.0, 1.0) : 1.0;
        sum += weight * texture(scene_texture_small, at).rgb;
        total += weight;
        offset = vec2(-offset.y, offset.x);
    }
    return sum / total;
}

// Stage 3's depth view: grey in proportion to the depth up to twice the far zone's end, white beyond;
// squared, since the window encodes it to sRGB.
float depthGrey(float depth) {
    float grey = clamp(depth / (2.0 * far_end), 0.0, 1.0);
    return grey * grey;
}

void main() {
    ivec2 pixel = ivec2(gl_FragCoord.xy);
    int shown = int(Dof_show + 0.5);
    vec3 reduced = reduceScene();
    vec3 scene = texelFetch(scene_texture, pixel, 0).rgb;
    float depth = nearestDepthAround();
    // Stage 0 writes the blur texture, so it reads none.
    vec4 own = state != 0 ? texelFetch(blur_texture, pixel, 0) : vec4(encodeBlur(0.0));
    float blur = blurOf(own);
    int wideTaps = state == 1 && blur != 0.0 ? 4 : (state == 3 && shown == 3 ? 1 : 0);
    vec3 wide = wideBlur(state == 1 ? own : vec4(encodeBlur(0.0)), wideTaps);
    if (state == 2)
        color = vec4(reduced, 1.0);
    else if (state == 0)
        color = vec4(scene, encodeBlur(signedBlur(depth)));
    else if (state == 1)
        color = vec4(wide, own.a);
    else if (shown == 1)
        color = vec4(max(-blur, 0.0), 1.0 - abs(blur), max(blur, 0.0), 1.0);
    else if (shown == 2)
        color = vec4(vec3(depthGrey(depth)), 1.0);
    else if (shown == 3)
        color = vec4(wide, 1.0);
    else
        color = vec4(mix(scene, own.rgb, abs(blur)), 1.0);
}
