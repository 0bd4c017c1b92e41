#include "app/overlay.h"

#include "app/demo_app.h"
#include "app/demo_loop.h"
#include "app/flight_control.h"
#include "app/key_table.h"
#include "app/scene_scale.h"
#include "motion/flight.h"

#include <imgui.h>
#include <imgui_impl_glfw.h>
#include <imgui_impl_opengl3.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// Seconds of frame times the graph shows.
constexpr double FRAME_HISTORY = 5.0;
constexpr float PANEL_WIDTH = 360.0f;

const char* const DOF_VIEWS[] = {"finished image", "blur amount", "camera depth", "reduced scene"};

// Walk mode while the pointer is free: keys and wheel read as without the overlay, the pointer taken as
// resting where the camera last saw it.
WalkInput walkWithoutMouseLook(double now) {
    WalkInput input = readWalkInput(now);
    input.cursorX = theApp->camera->lastMouseX;
    input.cursorY = theApp->camera->lastMouseY;
    return input;
}

void setUpImGui() {
    IMGUI_CHECKVERSION();
    ImGui::CreateContext();
    ImGuiIO& io = ImGui::GetIO();
    // The demo writes no files.
    io.IniFilename = nullptr;
    io.LogFilename = nullptr;
    ImGui::StyleColorsDark();
    // Installed after the demo's own callbacks, which the back-end calls on before its own.
    ImGui_ImplGlfw_InitForOpenGL(theApp->window, true);
    ImGui_ImplOpenGL3_Init("#version 330 core");
    theApp->overlay.ready = true;
}

void recordFrame(std::deque<double>& frameEnds, double now) {
    frameEnds.push_back(now);
    while (frameEnds.front() < now - FRAME_HISTORY)
        frameEnds.pop_front();
}

void timeline(double now) {
    const double length = flightLength(), seconds = flightSeconds(now);
    ImGui::Text("%s, %s", demoMode ? "flight" : "walk mode", flightPaused() ? "paused (Space)" : "running");
    char label[48];
    snprintf(label, sizeof label, "%.1f s of %.0f s", seconds, length);
    const float width = PANEL_WIDTH;
    ImGui::ProgressBar(static_cast<float>(std::min(seconds / length, 1.0)), ImVec2(width, 0.0f), label);
    if (ImGui::IsItemClicked()) {
        float x = ImGui::GetIO().MousePos.x - ImGui::GetItemRectMin().x;
        seekFlight(std::clamp(x / width, 0.0f, 1.0f) * length, now);
    }
    if (ImGui::IsItemHovered())
        ImGui::SetTooltip("click to go there");
}

void frameTimes(const std::deque<double>& frameEnds) {
    std::vector<float> milliseconds;
    for (size_t i = 1; i < frameEnds.size(); ++i)
        milliseconds.push_back(static_cast<float>(1e3 * (frameEnds[i] - frameEnds[i - 1])));
    if (theApp->fps > 0.0f)
        ImGui::Text("%.1f frames per second", static_cast<double>(theApp->fps));
    else
        ImGui::TextUnformatted("frames per second: measuring");
    float longest = milliseconds.empty() ? 1.0f : *std::max_element(milliseconds.begin(), milliseconds.end());
    char label[48];
    snprintf(label, sizeof label, "frame times, last %.0f s (up to %.0f ms)", FRAME_HISTORY, longest);
    ImGui::PlotHistogram("##frames", milliseconds.data(), static_cast<int>(milliseconds.size()), 0, label,
                         0.0f, longest * 1.1f, ImVec2(PANEL_WIDTH, 60.0f));
}

void passTimes(const PassGpuTimes& timers) {
    ImGui::TextUnformatted("GPU time per pass, ms (a frame late)");
    for (int pass = 0; pass < PASS_COUNT; ++pass) {
        const char* name = renderPassName(static_cast<RenderPass>(pass));
        if (timers.milliseconds[pass] < 0.0)
            ImGui::TextDisabled("  %-16s -", name);
        else
            ImGui::Text("  %-16s %7.2f", name, timers.milliseconds[pass]);
    }
}

void effectSwitch(const char* label, int& flag) {
    bool on = flag != 0;
    if (ImGui::Checkbox(label, &on))
        flag = on ? 1 : 0;
}

void effects() {
    ImGui::TextUnformatted("Effects");
    effectSwitch("shadow mapping", theApp->shadowMappingOn);
    ImGui::SameLine();
    effectSwitch("bloom", theApp->bloomOn);
    ImGui::SameLine();
    effectSwitch("normal mapping", theApp->normalMappingOn);
    // In the flight its path switches the depth of field every frame.
    ImGui::BeginDisabled(demoMode);
    effectSwitch("depth of field", theApp->dofOn);
    ImGui::EndDisabled();
    if (demoMode) {
        ImGui::SameLine();
        ImGui::TextDisabled("(the flight decides)");
    }
    ImGui::TextUnformatted("Depth-of-field view");
    int view = static_cast<int>(theApp->dofShow);
    for (int i = 0; i < 4; ++i) {
        if (i % 2)
            ImGui::SameLine(PANEL_WIDTH / 2);
        ImGui::RadioButton(DOF_VIEWS[i], &view, i);
    }
    theApp->dofShow = static_cast<unsigned>(view);
}

// The slider is the viewer's own choice and stops the controller; a target of 0 leaves the scale alone.
void sceneScale() {
    SceneScale& scene = theApp->sceneScale;
    ImGui::Text("Scene scale: %.2f of the window, drawn at %dx%d", static_cast<double>(scene.scale),
                scene.width, scene.height);
    float scale = scene.scale;
    ImGui::SetNextItemWidth(PANEL_WIDTH / 2);
    if (ImGui::SliderFloat("scale (- =)", &scale, SMALLEST_SCALE, LARGEST_SCALE, "%.2f"))
        chooseSceneScale(scale);
    int target = scene.control.targetFps;
    ImGui::SetNextItemWidth(PANEL_WIDTH / 2);
    if (ImGui::InputInt("target frame rate", &target) && target >= 0)
        holdSceneFrameRate(target);
    ImGui::SameLine();
    ImGui::TextDisabled(scene.control.targetFps > 0 ? "(holding it)" : "(0: none)");
}

void keys() {
    if (!ImGui::CollapsingHeader("Keys", ImGuiTreeNodeFlags_DefaultOpen))
        return;
    if (!ImGui::BeginTable("keys", 2, ImGuiTableFlags_SizingFixedFit))
        return;
    for (const KeyBinding& binding : keyTable()) {
        ImGui::TableNextColumn();
        ImGui::TextUnformatted(binding.key);
        ImGui::TableNextColumn();
        ImGui::TextDisabled("%s%s", binding.mode == KEYS_WALK ? "walk mode: " : "", binding.effect);
    }
    ImGui::EndTable();
}

void panel(Overlay& overlay, double now) {
    ImGui::SetNextWindowPos(ImVec2(10.0f, 10.0f), ImGuiCond_FirstUseEver);
    ImGui::SetNextWindowBgAlpha(0.8f);
    ImGui::Begin("Tellmarin", nullptr, ImGuiWindowFlags_AlwaysAutoResize);
    timeline(now);
    ImGui::Separator();
    frameTimes(overlay.frameEnds);
    passTimes(overlay.passTimes);
    ImGui::Separator();
    effects();
    ImGui::Separator();
    sceneScale();
    ImGui::Separator();
    keys();
    ImGui::End();
}

} // namespace

void toggleOverlay() {
    Overlay& overlay = theApp->overlay;
    GLFWwindow* window = theApp->window;
    overlay.visible = !overlay.visible;
    if (overlay.visible) {
        glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
        theApp->walkInputSource = walkWithoutMouseLook;
        overlay.passTimes.start();
        overlay.frameEnds.clear();
        return;
    }
    overlay.passTimes.stop();
    glfwSetInputMode(window, GLFW_CURSOR, GLFW_CURSOR_DISABLED);
    // Mouse look goes on from wherever the pointer was left, without a jump.
    double x = 0.0, y = 0.0;
    glfwGetCursorPos(window, &x, &y);
    theApp->camera->lastMouseX = static_cast<float>(x);
    theApp->camera->lastMouseY = static_cast<float>(y);
    theApp->walkInputSource = nullptr;
}

void drawOverlay(double now) {
    Overlay& overlay = theApp->overlay;
    if (!overlay.visible)
        return;
    if (!overlay.ready)
        setUpImGui();
    overlay.passTimes.endFrame();
    recordFrame(overlay.frameEnds, now);
    ImGui_ImplOpenGL3_NewFrame();
    ImGui_ImplGlfw_NewFrame();
    ImGui::NewFrame();
    panel(overlay, now);
    ImGui::Render();
    // ImGui's colours are meant as they are, not as linear values to encode.
    glDisable(GL_FRAMEBUFFER_SRGB);
    ImGui_ImplOpenGL3_RenderDrawData(ImGui::GetDrawData());
    glEnable(GL_FRAMEBUFFER_SRGB);
}

void shutdownOverlay() {
    Overlay& overlay = theApp->overlay;
    overlay.passTimes.stop();
    if (overlay.ready) {
        ImGui_ImplOpenGL3_Shutdown();
        ImGui_ImplGlfw_Shutdown();
        ImGui::DestroyContext();
    }
    overlay = Overlay();
}
