#version 330 core
// Upscale: one triangle over the whole window, made from the vertex index alone, at the near end of the
// depth range; the texture coordinates run from 0 to 1 across the window.

out vec2 uv;

void main() {
    // (0, 0), (2, 0), (0, 2): the window is the triangle's lower left quarter.
    vec2 corner = vec2((gl_VertexID << 1) & 2, gl_VertexID & 2);
    uv = corner;
    gl_Position = vec4(corner * 2.0 - 1.0, -1.0, 1.0);
}
