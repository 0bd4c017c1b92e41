#include "render/shader_loader.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

namespace {

std::string sourceOf(const std::string& content) {
    const char* path = "/tmp/shader_source_test.glsl";
    std::ofstream(path, std::ios::binary) << content;
    std::string source = readShaderSource(path);
    std::remove(path);
    return source;
}

} // namespace

TEST(ShaderSource, EveryLineGetsALeadingLineFeed) {
    EXPECT_EQ(sourceOf("A\nB\n"), "\nA\nB");
    EXPECT_EQ(sourceOf("A\nB"), "\nA\nB");
    EXPECT_EQ(sourceOf("#version 330 core\n\nvoid main() {}\n"), "\n#version 330 core\n\nvoid main() {}");
}

TEST(ShaderSource, EmptyAndMissingFilesGiveEmptySource) {
    EXPECT_EQ(sourceOf(""), "");
    EXPECT_EQ(readShaderSource("/nonexistent/dir/shader.vert"), "");
}

// The constants go between the #version line, which must stay first, and the file's second line, which the
// compiler must still call line 2.
TEST(ShaderSource, SharedConstantsFollowTheVersionLine) {
    const std::string source =
        withSharedConstants(sourceOf("#version 330 core\n// #version 1\nvoid main() {}\n"));
    const std::string head = "\n#version 330 core\n";
    ASSERT_EQ(source.compare(0, head.size(), head), 0) << source;
    const size_t lineDirective = source.find("#line 2\n// #version 1\nvoid main() {}");
    ASSERT_NE(lineDirective, std::string::npos) << source;
    const std::string defines = source.substr(head.size(), lineDirective - head.size());
    EXPECT_NE(defines.find("#define CAMERA_NEAR_PLANE "), std::string::npos) << defines;
    EXPECT_NE(defines.find("#define DOF_SAMPLE_COUNT "), std::string::npos) << defines;
    EXPECT_EQ(withSharedConstants("\nvoid main() {}"), "\nvoid main() {}");
}
