// Depth of field: the camera depth at half resolution, then four full-screen stages that blur the near
// and far zones of the scene image into `dofResultTexture`.
#pragma once

#include "render/gl_objects.h"
#include "render/shader_constants.h"
#include "scene/scene_model.h"

#include <glm/glm.hpp>

// Texture units of the depth-of-field program's samplers.
constexpr GLint DOF_DEPTH_UNIT = 0, DOF_SCENE_UNIT = 1, DOF_BLUR_UNIT = 2, DOF_SMALL_UNIT = 3;
// Window sides over the depth target's and the reduced scene's sides.
constexpr int DOF_DEPTH_DIVISOR = 2, DOF_SMALL_DIVISOR = 8;

// Values of the depth-of-field program's "state"; the reduction also feeds the bloom.
enum DofState { DOF_BLUR_SOURCE = 0, DOF_WIDE_BLUR = 1, DOF_REDUCE = 2, DOF_COMPOSITE = 3 };

// Uniform locations of the depth-of-field depth program.
struct DofDepthUniforms {
    int modelMatrix = -1, mvpMatrix = -1, camPos = -1, nearFar = -1;
};

// Uniform locations of the depth-of-field program (also the bloom reduction).
struct DofUniforms {
    int state = -1, depthTexture = -1, sceneTexture = -1, blurTexture = -1, sceneTextureSmall = -1;
    int swidth = -1, sheight = -1, dwidth = -1, dheight = -1, dofShow = -1;
    int nearOn = -1, farOn = -1, nearR = -1, farR = -1, nearStart = -1, nearEnd = -1;
    int farStart = -1, farEnd = -1, radiusScale = -1, poisson = -1;
};

// The targets for one window size: the blur and result textures at that size, the depth at half of it,
// the reduced scene at an eighth.
struct DofTargets {
    glm::ivec2 fullSize = glm::ivec2(0), depthSize = glm::ivec2(0), smallSize = glm::ivec2(0);
    Texture dofDepthTexture, dofBlurTexture1, dofBlurTexture2, dofResultTexture, dofSmallTexture;
    Framebuffer dofDepthFramebuffer, dofSmallFramebuffer, dofFramebuffer;
};

struct DepthOfField {
    // The near zone, the far zone and the blur radii, in the units the shader reads them.
    static constexpr bool dofNearOn = true;
    static constexpr bool dofFarOn = true;
    static constexpr float dofNearRadius = 8.0f;
    static constexpr float dofFarRadius = 12.0f;
    static constexpr float dofNearStart = 0.0f;
    static constexpr float dofNearEnd = 0.01f;
    static constexpr float dofFarStart = 0.08f;
    static constexpr float dofFarEnd = 0.17f;
    static constexpr float dofRadiusScale = 0.4f;

    glm::vec2 dofPoissonSamples[DOF_SAMPLE_COUNT] = {};
    DofTargets targets;
    DofDepthUniforms depthUniforms;
    DofUniforms uniforms;
};

// A pseudo-random draw in [0, RAND_MAX], such as std::rand.
using RandomDraw = int (*)();

// Creates the scene target, then the depth-of-field targets, at the scene's size; looks up both
// programs' uniforms and draws the sample offsets.
void initDepthOfField(GLuint depthProgram, GLuint program);

// Creates the depth-of-field targets for a window of `width` x `height`, or re-creates them for it. Ends
// with the window's framebuffer bound.
void sizeDepthOfField(int width, int height);

// Fills `samples` with offsets in [-1, 1] x [-1, 1], four draws per sample: sign of x, sign of y, x, y.
void generatePoissonSamples(glm::vec2 (&samples)[DOF_SAMPLE_COUNT], RandomDraw draw);

// Draws the camera depth of one mesh into the bound framebuffer, with the depth program current; its
// vertex array is left bound.
void drawCameraDepth(const Mesh& mesh, const Material& material);

// Renders the camera depth of the opaque meshes, with the depth program current.
void drawDofDepth();

// Runs the reduction, blur and composite stages, with the depth-of-field program current.
void drawDepthOfField();
