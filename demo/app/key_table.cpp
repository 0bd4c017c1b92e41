#include "app/key_table.h"

#include "app/demo_app.h"
#include "app/flight_control.h"
#include "app/overlay.h"
#include "app/scene_scale.h"
#include "app/window_mode.h"

#include <GLFW/glfw3.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

constexpr unsigned LAST_DOF_VIEW = 3;
constexpr double SEEK_STEP = 10.0;

// The confirmations below are the demo's console: their words, spaces included, are fixed. The viewer's
// keys, from Space on, print nothing.
void toggleEffect(int& flag, const char* effect) {
    flag = flag ? 0 : 1;
    printf("%s %s. \n", effect, flag ? "enabled" : "disabled");
}

void toggleWalkMode(double) {
    demoMode = !demoMode;
    printf("walkit changed. \n");
}

void toggleShadows(double) {
    toggleEffect(theApp->shadowMappingOn, "Shadow Mapping");
}

void toggleBloom(double) {
    toggleEffect(theApp->bloomOn, "Bloom effect");
}

void toggleNormalMaps(double) {
    toggleEffect(theApp->normalMappingOn, "Normal Mapping");
}

void toggleDepthOfField(double) {
    toggleEffect(theApp->dofOn, "Dof");
}

void nextDofView(double) {
    theApp->dofShow = theApp->dofShow + 1 > LAST_DOF_VIEW ? 0 : theApp->dofShow + 1;
    printf("Dof show changed. \n");
}

void seekBack(double now) {
    seekFlightBy(-SEEK_STEP, now);
}

void seekOn(double now) {
    seekFlightBy(SEEK_STEP, now);
}

void restartFlight(double now) {
    seekFlight(0.0, now);
}

void scaleDown(double) {
    stepSceneScale(-1);
}

void scaleUp(double) {
    stepSceneScale(1);
}

void screenshotKey(double) {
    theApp->screenshots.requested = true;
}

void fullscreenKey(double) {
    toggleFullscreen();
}

void overlayKey(double) {
    toggleOverlay();
}

const int WALK_KEYS[] = {GLFW_KEY_UP, GLFW_KEY_DOWN, GLFW_KEY_LEFT, GLFW_KEY_RIGHT,
                         GLFW_KEY_W,  GLFW_KEY_A,    GLFW_KEY_S,    GLFW_KEY_D};

// clang-format off
const std::vector<KeyBinding> KEY_TABLE = {
    {"Escape", {GLFW_KEY_ESCAPE}, KEYS_ALWAYS, "ends the program, as closing the window does", nullptr},
    {"F10", {GLFW_KEY_F10}, KEYS_ALWAYS, "walk mode, or back to the flight", toggleWalkMode},
    {"Arrow keys or W, A, S, D; mouse; wheel", {std::begin(WALK_KEYS), std::end(WALK_KEYS)}, KEYS_WALK,
     "move, look around, zoom", nullptr},
    {"F1", {GLFW_KEY_F1}, KEYS_WALK, "shadows on or off", toggleShadows},
    {"F2", {GLFW_KEY_F2}, KEYS_WALK, "bloom on or off", toggleBloom},
    {"F3", {GLFW_KEY_F3}, KEYS_WALK, "normal mapping on or off", toggleNormalMaps},
    {"F4", {GLFW_KEY_F4}, KEYS_WALK, "depth of field on or off", toggleDepthOfField},
    {"F5", {GLFW_KEY_F5}, KEYS_WALK, "the next of the four depth-of-field views", nextDofView},
    {"Space", {GLFW_KEY_SPACE}, KEYS_ALWAYS, "pauses the flight and its music, or lets them go on",
     toggleFlightPause},
    {"Page Up", {GLFW_KEY_PAGE_UP}, KEYS_ALWAYS, "10 s back", seekBack},
    {"Page Down", {GLFW_KEY_PAGE_DOWN}, KEYS_ALWAYS, "10 s on", seekOn},
    {"Home", {GLFW_KEY_HOME}, KEYS_ALWAYS, "the flight and its music from the start", restartFlight},
    {"-", {GLFW_KEY_MINUS, GLFW_KEY_KP_SUBTRACT}, KEYS_ALWAYS,
     "the scene's scale one step down; ends --target-fps",
     scaleDown},
    {"=", {GLFW_KEY_EQUAL, GLFW_KEY_KP_ADD}, KEYS_ALWAYS,
     "the scene's scale one step up; ends --target-fps", scaleUp},
    {"F9", {GLFW_KEY_F9}, KEYS_ALWAYS, "saves the picture, without the overlay, as a PNG",
     screenshotKey},
    {"F11", {GLFW_KEY_F11}, KEYS_ALWAYS, "fullscreen, or back to the window", fullscreenKey},
    {"F12", {GLFW_KEY_F12}, KEYS_ALWAYS, "shows or hides the overlay", overlayKey},
};
// clang-format on

} // namespace

const std::vector<KeyBinding>& keyTable() {
    return KEY_TABLE;
}

const char* keyModeName(KeyMode mode) {
    return mode == KEYS_WALK ? "walk mode" : "always";
}

std::string keysHelp() {
    size_t width = 0;
    for (const KeyBinding& binding : KEY_TABLE)
        width = std::max(width, std::strlen(binding.key));
    std::string text = "Keys:";
    for (const KeyBinding& binding : KEY_TABLE) {
        text += "\n  " + std::string(binding.key) + std::string(width + 2 - std::strlen(binding.key), ' ');
        text += std::string(binding.mode == KEYS_WALK ? "in walk mode: " : "") + binding.effect;
    }
    return text;
}
