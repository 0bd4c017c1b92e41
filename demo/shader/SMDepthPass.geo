#version 330 core
// Shadow pass, geometry stage: sends every triangle to all six faces of the light's depth cube map,
// projected by that face's view-projection and routed to its layer.

layout(triangles) in;
layout(triangle_strip, max_vertices = 18) out;

uniform mat4 PV_matrix[CUBE_FACE_COUNT];

void main() {
    for (int face = 0; face < CUBE_FACE_COUNT; ++face) {
        for (int corner = 0; corner < 3; ++corner) {
            gl_Layer = face;
            gl_Position = PV_matrix[face] * gl_in[corner].gl_Position;
            EmitVertex();
        }
        EndPrimitive();
    }
}
