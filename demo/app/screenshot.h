// F9: the window's picture without the overlay, saved as a PNG into the user's pictures folder, named by
// the moment of the flight it shows.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

using IsFolder = std::function<bool(const std::filesystem::path&)>;
using Exists = std::function<bool(const std::filesystem::path&)>;

// A screenshot asked for by the key, taken before the next frame's overlay is drawn.
struct Screenshots {
    std::filesystem::path folder;
    bool requested = false;
};

// XDG_PICTURES_DIR as `userDirs` (the text of a user-dirs.dirs file) sets it, "$HOME" standing for `home`;
// empty when it is not set to "$HOME/..." or an absolute path.
std::filesystem::path xdgPicturesDir(const std::string& userDirs, const std::string& home);

// The folder screenshots go to: the XDG pictures directory when it is a folder, else `home`/Pictures
// when that is one, else `workingFolder`.
std::filesystem::path picturesFolder(const std::string& home, const std::string& userDirs,
                                     const std::filesystem::path& workingFolder, const IsFolder& isFolder);

// picturesFolder for this process: HOME, the user-dirs.dirs of XDG_CONFIG_HOME (~/.config by default),
// and the working directory now.
std::filesystem::path findPicturesFolder();

// The file in `folder` for a picture `flightSeconds` into the flight, e.g. tellmarin-075.3s.png, or with
// "-2", "-3"... added, the first such name that does not exist yet.
std::filesystem::path screenshotPath(const std::filesystem::path& folder, double flightSeconds,
                                     const Exists& exists);

// The window's picture, `width` x `height` RGB rows, bottom row first, read from `windowFramebuffer` (0:
// a GLFW window's back buffer). The read bindings and pack alignment are left as they were.
std::vector<unsigned char> readWindowPicture(unsigned windowFramebuffer, int width, int height);

// Writes `rgb`, rows bottom first, as a PNG file; false when it cannot be written. An existing file is
// replaced only where DevIL's IL_FILE_OVERWRITE is on.
bool writePicturePng(const std::filesystem::path& path, int width, int height,
                     std::vector<unsigned char>& rgb);

// When a screenshot was requested: reads the window's back buffer of `width` x `height` and writes it as
// a PNG, naming the file or the failure on standard error. The request is taken either way.
void saveRequestedScreenshot(Screenshots& screenshots, double flightSeconds, int width, int height);
