#include "app/screenshot.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

using std::filesystem::path;

// A file system holding just `folders`.
IsFolder foldersAre(std::set<path> folders) {
    return [folders](const path& folder) { return folders.count(folder) > 0; };
}

} // namespace

TEST(PicturesFolder, XdgDirectoryThenPicturesThenTheWorkingFolder) {
    const std::string userDirs = "# written by xdg-user-dirs-update\n"
                                 "XDG_DESKTOP_DIR=\"$HOME/Desktop\"\n"
                                 "XDG_PICTURES_DIR=\"$HOME/Bilder\"\n";
    const path working = "/srv/run";
    EXPECT_EQ(picturesFolder("/home/ada", userDirs, working,
                             foldersAre({"/home/ada/Bilder", "/home/ada/Pictures"})),
              "/home/ada/Bilder");
    // A pictures directory that is not there gives way to ~/Pictures, and that to the working folder.
    EXPECT_EQ(picturesFolder("/home/ada", userDirs, working, foldersAre({"/home/ada/Pictures"})),
              "/home/ada/Pictures");
    EXPECT_EQ(picturesFolder("/home/ada", userDirs, working, foldersAre({"/home/ada"})), working);
    EXPECT_EQ(picturesFolder("/home/ada", "", working, foldersAre({"/home/ada/Pictures"})),
              "/home/ada/Pictures");
    // No home at all: no ~/Pictures either.
    EXPECT_EQ(picturesFolder("", "", working, foldersAre({"/Pictures"})), working);
}

TEST(PicturesFolder, UserDirsLinesAreReadAsTheShellSourcesThem) {
    EXPECT_EQ(xdgPicturesDir("XDG_PICTURES_DIR=\"/data/shots\"\n", "/home/ada"), "/data/shots");
    EXPECT_EQ(xdgPicturesDir("  XDG_PICTURES_DIR=\"$HOME\"", "/home/ada"), "/home/ada");
    // The last assignment counts, a commented one does not.
    EXPECT_EQ(xdgPicturesDir("XDG_PICTURES_DIR=\"$HOME/A\"\nXDG_PICTURES_DIR=\"$HOME/B\"\n"
                             "#XDG_PICTURES_DIR=\"$HOME/C\"\n",
                             "/home/ada"),
              "/home/ada/B");
    // Neither "$HOME/..." nor absolute: not a setting the file may hold.
    for (const char* text : {"XDG_PICTURES_DIR=\"Pictures\"", "XDG_PICTURES_DIR=\"$HOMEWORK/x\"",
                             "XDG_PICTURES_DIR=\"\"", "XDG_MUSIC_DIR=\"$HOME/Music\"", "XDG_PICTURES_DIR"})
        EXPECT_EQ(xdgPicturesDir(text, "/home/ada"), "") << text;
    EXPECT_EQ(xdgPicturesDir("XDG_PICTURES_DIR=\"$HOME/Pictures\"", ""), "");
}

TEST(ScreenshotPath, NamedByTheFlightsTimeWithoutReplacingAFile) {
    auto none = [](const path&) { return false; };
    EXPECT_EQ(screenshotPath("/p", 75.34, none), "/p/tellmarin-075.3s.png");
    EXPECT_EQ(screenshotPath("/p", 0.0, none), "/p/tellmarin-000.0s.png");
    std::set<path> taken = {"/p/tellmarin-075.3s.png", "/p/tellmarin-075.3s-2.png"};
    auto exists = [&taken](const path& file) { return taken.count(file) > 0; };
    EXPECT_EQ(screenshotPath("/p", 75.3, exists), "/p/tellmarin-075.3s-3.png");
}
