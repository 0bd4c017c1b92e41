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
