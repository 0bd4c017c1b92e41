#include "app/scene_scale.h"

#include "app/demo_app.h"
#include "app/demo_loop.h"
#include "app/flight_control.h"

#include <cstdio>

void setSceneScale(float scale) {
    theApp->sceneScale.scale = boundedScale(scale);
    resizePasses(theApp->settings->width, theApp->settings->height);
}

void chooseSceneScale(float scale) {
    holdFrameRate(theApp->sceneScale.control, 0);
    setSceneScale(scale);
}

void stepSceneScale(int direction) {
    chooseSceneScale(stepScale(theApp->sceneScale.scale, direction));
}

void holdSceneFrameRate(int targetFps) {
    holdFrameRate(theApp->sceneScale.control, targetFps);
}

void followFrameRate(double now) {
    SceneScale& scene = theApp->sceneScale;
    const float scale = controlScale(scene.control, scene.scale, now);
    if (scale == scene.scale)
        return;
    fprintf(stderr, "scene scale %.2f -> %.2f at %.1f s of the flight (%.1f frames a second, target %d)\n",
            static_cast<double>(scene.scale), static_cast<double>(scale), flightSeconds(now),
            static_cast<double>(scene.control.fps), scene.control.targetFps);
    setSceneScale(scale);
}
