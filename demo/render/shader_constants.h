// Numbers that both the C++ passes and the shaders depend on, each written once: here. The shader loader
// defines every one of them by name in each shader it compiles, right after the #version line.
//   CAMERA_NEAR_PLANE, CAMERA_FAR_PLANE: the camera's clip planes; the depth-of-field stages turn the
//     stored window depth back into distance with them.
//   DOF_SAMPLE_COUNT: the depth of field's sample offsets, the length of "poisson".
//   BLOOM_TAP_COUNT: the bloom filter's taps, the length of "coefs".
//   CUBE_FACE_COUNT: the shadow cube map's faces, the length of "PV_matrix".
#pragma once

// X(name, C++ type, value); the value is a literal that C++ and GLSL read alike.
#define SHARED_SHADER_CONSTANTS(X)                                                                           \
    X(CAMERA_NEAR_PLANE, float, 0.001)                                                                       \
    X(CAMERA_FAR_PLANE, float, 7.0)                                                                          \
    X(DOF_SAMPLE_COUNT, int, 32)                                                                             \
    X(BLOOM_TAP_COUNT, int, 5)                                                                               \
    X(CUBE_FACE_COUNT, int, 6)

#define DECLARE_SHARED_CONSTANT(name, type, value) constexpr type name = value;
SHARED_SHADER_CONSTANTS(DECLARE_SHARED_CONSTANT)
#undef DECLARE_SHARED_CONSTANT
