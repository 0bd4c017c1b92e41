// Depth of field: the camera depth at half resolution, then four full-screen stages that blur the near
// and far zones of the scene image into `dofResultTexture`.
#pragma once

#include <GL/glew.h>
#include <glm/glm.hpp>

constexpr int DOF_SAMPLE_COUNT = 32;

// Values of the depth-of-field program's "state"; the reduction also feeds the bloom.
enum DofState { DOF_BLUR_SOURCE = 0, DOF_WIDE_BLUR = 1, DOF_REDUCE = 2, DOF_COMPOSITE = 3 };

// A pseudo-random draw in [0, RAND_MAX], such as std::rand.
using RandomDraw = int (*)();

// Stores the settings, creates the depth-of-field targets and the scene target between them, looks up
// both programs' uniforms and draws the sample offsets.
void initDepthOfField(GLuint depthProgram, GLuint program);

// Fills `samples` with offsets in [-1, 1] x [-1, 1], four draws per sample: sign of x, sign of y, x, y.
void generatePoissonSamples(glm::vec2 (&samples)[DOF_SAMPLE_COUNT], RandomDraw draw);

// Renders the camera depth of the opaque meshes, with the depth program current.
void drawDofDepth();

// Runs the reduction, blur and composite stages, with the depth-of-field program current.
void drawDepthOfField();
