#include <gtest/gtest.h>
// After gtest: Xlib defines macros such as None that gtest uses as names.
#include <X11/Xlib.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // An X server resets when its last client leaves and refuses connections while it does; each test
    // closes its window, so without a connection of our own the next test's window may be refused.
    Display* keepServerUp = XOpenDisplay(nullptr);
    int result = RUN_ALL_TESTS();
    if (keepServerUp)
        XCloseDisplay(keepServerUp);
    return result;
}
