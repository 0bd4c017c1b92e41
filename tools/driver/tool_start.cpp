#include "tool_start.h"

#include "app/data_folder.h"
#include "app/headless_context.h"
#include "app/options.h"

#include <cstdlib>

void addToolStartOptions(CLI::App& app, ToolStartOptions& options) {
    app.add_option("--data", options.dataFolder,
                   "the demo's data folder (shader/ inside, models/ beside it); by default the working "
                   "folder if it is one, else the installed one, else the source tree's demo/")
        ->type_name("DIR");
    app.add_flag("--headless", options.headless,
                 "renders through EGL without a window system; taken by itself when neither DISPLAY nor "
                 "WAYLAND_DISPLAY is set");
    addScaleOption(app, options.scale);
}

bool prepareToolStart(const ToolStartOptions& options, StartOptions& start) {
    if (!enterDataFolder(options.dataFolder))
        return false;
    start.scale = options.scale;
    start.headless = chooseHeadless(options.headless, std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY"));
    return true;
}

bool startTool(const ToolStartOptions& options, StartOptions& start, ShaderPrograms& programs) {
    return prepareToolStart(options, start) && startDemo(programs, start);
}
