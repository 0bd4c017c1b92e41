// Points where a tool can observe the demo: how long each start-up phase took, and where each render pass
// begins and ends. The demo itself records the phases; its overlay and a tool each observe the passes
// through their own slot.
#pragma once

#include <chrono>
#include <functional>

enum StartupPhase {
    PHASE_WINDOW,
    PHASE_SOUNDTRACK,
    PHASE_SCENE_IMPORT,
    PHASE_TEXTURES,
    PHASE_SHADER_BUILD,
    PHASE_PASS_SETUP,
    PHASE_COUNT
};

enum RenderPass {
    PASS_SHADOW,
    PASS_SCENE_DEPTH,       // the opaque meshes' depth, laid before the single-sample scene pass
    PASS_SCENE,             // single-sample, into the scene target
    PASS_SCENE_MULTISAMPLE, // 4 samples, into the scene target's multisample framebuffer
    PASS_RESOLVE,           // the 4-sample picture into the scene image and the window
    PASS_BLOOM,
    PASS_DOF_DEPTH,
    PASS_DOF_STAGES,
    PASS_QUAD,
    PASS_UPSCALE, // the frame, drawn at a share of the window's size, stretched over the window
    PASS_COUNT
};

const char* startupPhaseName(StartupPhase phase);
const char* renderPassName(RenderPass pass);

// Called with `begins` true before a pass issues its first GL command and false after its last.
using PassObserver = std::function<void(RenderPass pass, bool begins)>;

// Seconds on a monotonic clock, for phase durations.
inline double probeSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// Adds the seconds between its construction and its end to `total`.
class PhaseTimer {
  public:
    explicit PhaseTimer(double& total) : total(total), start(probeSeconds()) {}
    ~PhaseTimer() { total += probeSeconds() - start; }
    PhaseTimer(const PhaseTimer&) = delete;
    PhaseTimer& operator=(const PhaseTimer&) = delete;

  private:
    double& total;
    double start;
};

// Tells the installed observers, if any, that `pass` runs for the scope's lifetime.
class PassScope {
  public:
    explicit PassScope(RenderPass pass);
    ~PassScope();
    PassScope(const PassScope&) = delete;
    PassScope& operator=(const PassScope&) = delete;

  private:
    RenderPass pass;
};
