#include <gtest/gtest.h>
// After gtest: Xlib defines macros such as None that gtest uses as names.
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace {

// An X server resets when its last client leaves and refuses connections while it does: the previous test
// program may just have left it. Tries for up to about five seconds.
Display* openDisplay() {
    Display* display = XOpenDisplay(nullptr);
    for (int attempt = 0; !display && attempt < 50 && getenv("DISPLAY"); ++attempt) {
        usleep(100000);
        display = XOpenDisplay(nullptr);
    }
    return display;
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Listing the tests needs no display.
    if (GTEST_FLAG_GET(list_tests))
        return RUN_ALL_TESTS();
    // Each test closes its window, so without a connection of our own the next test's window may be refused
    // while the server resets.
    Display* keepServerUp = openDisplay();
    // Without a display every fixture would fail in turn, and some would crash on the missing context.
    if (!keepServerUp) {
        fprintf(stderr, "No X display: the GL tests need one (set DISPLAY, or run them under xvfb-run).\n");
        return 1;
    }
    int result = RUN_ALL_TESTS();
    XCloseDisplay(keepServerUp);
    return result;
}
