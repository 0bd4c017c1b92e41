#include "app/screenshot.h"

#include "render/window_target.h"

#include <IL/il.h>
#include <epoxy/gl.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace {

const std::string PICTURES_KEY = "XDG_PICTURES_DIR=";

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string fileText(const std::filesystem::path& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string unquoted(const std::string& value) {
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        return value.substr(1, value.size() - 2);
    return value;
}

} // namespace

std::filesystem::path xdgPicturesDir(const std::string& userDirs, const std::string& home) {
    std::filesystem::path found;
    std::istringstream lines(userDirs);
    // Read as the shell would source it: the last assignment counts.
    for (std::string line; std::getline(lines, line);) {
        size_t start = line.find_first_not_of(" \t");
        if (start == std::string::npos || line.compare(start, PICTURES_KEY.size(), PICTURES_KEY) != 0)
            continue;
        std::string value = unquoted(line.substr(start + PICTURES_KEY.size()));
        if (value.rfind("$HOME", 0) == 0 && !home.empty() && (value.size() == 5 || value[5] == '/'))
            found = home + value.substr(5);
        else if (!value.empty() && value.front() == '/')
            found = value;
        else
            found.clear();
    }
    return found;
}

std::filesystem::path picturesFolder(const std::string& home, const std::string& userDirs,
                                     const std::filesystem::path& workingFolder, const IsFolder& isFolder) {
    std::filesystem::path xdg = xdgPicturesDir(userDirs, home);
    if (!xdg.empty() && isFolder(xdg))
        return xdg;
    if (!home.empty() && isFolder(std::filesystem::path(home) / "Pictures"))
        return std::filesystem::path(home) / "Pictures";
    return workingFolder;
}

std::filesystem::path findPicturesFolder() {
    std::string home = environment("HOME");
    std::filesystem::path config = environment("XDG_CONFIG_HOME");
    if (config.empty() || config.is_relative())
        config = std::filesystem::path(home) / ".config";
    std::error_code error;
    std::filesystem::path working = std::filesystem::current_path(error);
    auto isFolder = [](const std::filesystem::path& path) {
        std::error_code ignored;
        return std::filesystem::is_directory(path, ignored);
    };
    return picturesFolder(home, home.empty() ? "" : fileText(config / "user-dirs.dirs"), working, isFolder);
}

std::filesystem::path screenshotPath(const std::filesystem::path& folder, double flightSeconds,
                                     const Exists& exists) {
    char stem[48];
    std::snprintf(stem, sizeof stem, "tellmarin-%05.1fs", flightSeconds);
    std::filesystem::path path = folder / (std::string(stem) + ".png");
    for (int copy = 2; exists(path); ++copy)
        path = folder / (std::string(stem) + "-" + std::to_string(copy) + ".png");
    return path;
}

void saveRequestedScreenshot(Screenshots& screenshots, double flightSeconds, int width, int height) {
    if (!screenshots.requested)
        return;
    screenshots.requested = false;
    auto exists = [](const std::filesystem::path& path) {
        std::error_code ignored;
        return std::filesystem::exists(path, ignored);
    };
    std::filesystem::path path = screenshotPath(screenshots.folder, flightSeconds, exists);
    std::vector<unsigned char> rgb = readWindowPicture(0, width, height);
    if (writePicturePng(path, width, height, rgb))
        std::fprintf(stderr, "Screenshot saved: %s\n", path.c_str());
    else
        std::fprintf(stderr, "Could not save the screenshot %s\n", path.c_str());
}

std::vector<unsigned char> readWindowPicture(unsigned windowFramebuffer, int width, int height) {
    GLint readFramebuffer = 0, packAlignment = 4;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    readFromWindow(windowFramebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, readFramebuffer);
    return rgb;
}

bool writePicturePng(const std::filesystem::path& path, int width, int height,
                     std::vector<unsigned char>& rgb) {
    // The demo decodes its images in child processes; this one has not set DevIL up before.
    [[maybe_unused]] static const bool devilReady = (ilInit(), true);
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    bool written = ilTexImage(width, height, 1, 3, IL_RGB, IL_UNSIGNED_BYTE, rgb.data());
    ilRegisterOrigin(IL_ORIGIN_LOWER_LEFT);
    written = written && ilSave(IL_PNG, path.c_str());
    ilDeleteImages(1, &image);
    return written;
}
