// The GL tests on headless contexts: no display, no window system.
#include <gtest/gtest.h>

extern const bool headlessContexts = true;

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
