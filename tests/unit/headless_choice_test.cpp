#include "app/headless_context.h"

#include <gtest/gtest.h>

// Only a named display keeps a tool on a window; an empty value names none, as for X and Wayland clients.
TEST(HeadlessChoice, FollowsTheDisplayVariablesUnlessForced) {
    struct Case {
        bool forced;
        const char *display, *waylandDisplay;
        bool headless;
    };
    const Case cases[] = {
        {false, nullptr, nullptr, true}, {false, "", "", true},
        {false, ":0", nullptr, false},   {false, nullptr, "wayland-0", false},
        {false, "", "wayland-0", false}, {true, ":0", "wayland-0", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(chooseHeadless(c.forced, c.display, c.waylandDisplay), c.headless)
            << c.forced << " " << (c.display ? c.display : "unset") << " "
            << (c.waylandDisplay ? c.waylandDisplay : "unset");
}
