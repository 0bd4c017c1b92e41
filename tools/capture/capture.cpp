// Renders chosen moments of the demo into PNG files. It runs the demo's own start-up and frame loop on a
// clock it sets itself, stepping the flight and the light through their paths to each requested time.
// `capture --help` lists the options.
#include "app/command_line.h"
#include "app/demo_app.h"
#include "app/demo_loop.h"
#include "app/screenshot.h"
#include "frame_driver.h"
#include "tool_start.h"

#include <IL/il.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct Options {
    std::vector<double> times;
    std::string outDir;
    double step = 1.0;
    std::vector<float> walk;
    std::vector<int> flags;
    std::vector<float> light;
    ToolStartOptions start;
};

void addOptions(CLI::App& app, Options& options) {
    const Interval anyNumber, switchValue = Interval::between(0.0, 1.0),
                              dofView = Interval::between(0.0, 3.0);
    addNumberList(app, "--times", options.times,
                  "path times in seconds, taken in order; one file DIR/frame_<time>.png each",
                  {Interval::atLeast(0.0)})
        ->required();
    app.add_option("--out", options.outDir, "folder for the frames")->type_name("DIR")->required();
    addNumber(app, "--step", options.step,
              "clock step between frames on the way, in seconds (default 1); both paths advance at most one "
              "segment per frame",
              Interval::strictlyBetween(0.0, SHORTEST_PATH_SEGMENT));
    addNumberList(app, "--walk", options.walk,
                  "X,Y,Z,H,V: walk mode, camera at (X, Y, Z) with heading H and pitch V (radians)",
                  {anyNumber}, {5});
    addNumberList(
        app, "--flags", options.flags,
        "SM,BLOOM,NM,DOF[,VIEW]: shadow mapping, bloom, normal mapping, depth of field, each 0 or 1 "
        "(in demo mode the camera path still decides depth of field), and the depth-of-field view 0 "
        "to 3",
        {switchValue, switchValue, switchValue, switchValue, dofView}, {4, 5});
    addNumberList(app, "--light", options.light,
                  "X,Y,Z: holds the light there instead of moving it along its path", {anyNumber}, {3});
    addToolStartOptions(app, options.start);
}

void applyOptions(const Options& options) {
    if (!options.walk.empty())
        enterWalk(glm::vec3(options.walk[0], options.walk[1], options.walk[2]), options.walk[3],
                  options.walk[4]);
    if (!options.flags.empty()) {
        theApp->shadowMappingOn = options.flags[0] != 0;
        theApp->bloomOn = options.flags[1] != 0;
        theApp->normalMappingOn = options.flags[2] != 0;
        theApp->dofOn = options.flags[3] != 0;
        if (options.flags.size() == 5)
            theApp->dofShow = static_cast<unsigned>(options.flags[4]);
    }
    if (!options.light.empty()) {
        // A path too short to follow leaves the light where it is put.
        theApp->light->lightPath.clear();
        theApp->light->position = glm::vec3(options.light[0], options.light[1], options.light[2]);
    }
}

std::string framePath(const std::string& outDir, double time) {
    char name[64];
    std::snprintf(name, sizeof name, "/frame_%.2f.png", time);
    return outDir + name;
}

// The light keeps, through a wait on its path, the place the last frame before it found; so the frames
// drawn for a moment off the step grid would shift every later moment. They are drawn on a copy of the
// motion, and the flight goes on from the grid alone.
struct MotionState {
    Camera camera;
    MovingLight light;
};

MotionState saveMotion() {
    return {*theApp->camera, *theApp->light};
}

void restoreMotion(const MotionState& saved) {
    *theApp->camera = saved.camera;
    *theApp->light = saved.light;
}

bool captureFrame(const ShaderPrograms& programs, double time, const std::string& outDir) {
    MotionState saved = saveMotion();
    // A frame that moves a path on to its next segment draws the old spot: settle before capturing.
    frameAt(programs, time);
    presentFrame();
    frameAt(programs, time);
    const int width = theApp->settings->width, height = theApp->settings->height;
    std::vector<unsigned char> frame = readWindowPicture(theApp->windowFramebuffer(), width, height);
    std::string path = framePath(outDir, time);
    bool written = writePicturePng(path, width, height, frame);
    if (!written)
        std::fprintf(stderr, "could not write %s\n", path.c_str());
    presentFrame();
    restoreMotion(saved);
    return written;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    CLI::App app("Renders moments of the demo into PNG files.");
    nameProgram(app, "tellmarin-capture");
    addOptions(app, options);
    if (std::optional<int> exitCode = parseCommandLine(app, argc, argv))
        return *exitCode;
    std::sort(options.times.begin(), options.times.end());
    // Frames, not sound, are wanted; an explicit choice of audio driver is respected.
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    // Named from the working folder the capture was started in, not from the data folder.
    options.outDir = std::filesystem::absolute(options.outDir).string();
    mkdir(options.outDir.c_str(), 0755);
    StartOptions start;
    ShaderPrograms programs;
    if (!startTool(options.start, start, programs))
        return 1;
    // Every frame with every level, however few frames come before it.
    uploadHeldTopLevels(*theApp);
    applyOptions(options);
    ilInit();
    ilEnable(IL_FILE_OVERWRITE);
    int failures = 0;
    long gridFrames = 0;
    for (double target : options.times) {
        for (; gridFrames * options.step < target; ++gridFrames) {
            frameAt(programs, gridFrames * options.step);
            presentFrame();
        }
        failures += captureFrame(programs, target, options.outDir) ? 0 : 1;
    }
    shutdownDemo(programs);
    return failures ? 1 : 0;
}
