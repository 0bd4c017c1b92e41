// The tests of the demo's own window: GLFW windows on an X display.
#include <gtest/gtest.h>
// After gtest: Xlib defines macros such as None that gtest uses as names.
#include <X11/Xlib.h>

#include <cstdio>

extern const bool headlessContexts = false;

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // An X server resets when its last client leaves and refuses connections while it does; each test
    // closes its window, so without a connection of our own the next test's window may be refused.
    Display* keepServerUp = XOpenDisplay(nullptr);
    // Without a display every fixture would fail in turn, and some would crash on the missing context.
    if (!keepServerUp) {
        fprintf(stderr,
                "No X display: the window's tests need one (set DISPLAY, or run them under xvfb-run).\n");
        return 1;
    }
    int result = RUN_ALL_TESTS();
    XCloseDisplay(keepServerUp);
    return result;
}
