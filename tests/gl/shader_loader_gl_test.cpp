#include "gl_fixture.h"

#include "render/shader_loader.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

GLint linkStatus(GLuint program) {
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    return status;
}

std::string captureCompile(const char* vertexPath, const char* fragmentPath, Program& program) {
    testing::internal::CaptureStdout();
    program = compileProgram(vertexPath, fragmentPath);
    fflush(stdout);
    return testing::internal::GetCapturedStdout();
}

} // namespace

TEST_F(GlTest, AllSixProgramsLink) {
    const char* pairs[][2] = {{"shader/VertexShader.vertexshader", "shader/FragmentShader.fragmentshader"},
                              {"shader/Dof_depth.vert", "shader/Dof_depth.frag"},
                              {"shader/Dof.vert", "shader/Dof.frag"},
                              {"shader/TextureQuad.vert", "shader/TextureQuad.frag"},
                              {"shader/Bloom.vert", "shader/Bloom.frag"}};
    for (auto& pair : pairs) {
        Program program;
        std::string out = captureCompile(pair[0], pair[1], program);
        EXPECT_TRUE(linkStatus(program)) << pair[0] << "\n" << out;
    }
    testing::internal::CaptureStdout();
    Program shadow = compileShadowProgram();
    std::string out = testing::internal::GetCapturedStdout();
    EXPECT_TRUE(linkStatus(shadow)) << out;
    EXPECT_EQ(out.find("Compiling shader : shader/SMDepthPass.vert\n"), 0u);
    EXPECT_LT(out.find("shader/SMDepthPass.frag"), out.find("shader/SMDepthPass.geo"));
}

TEST_F(GlTest, CleanCompilePrintsTheLoaderLinesWithEmptyLogs) {
    Program program;
    std::string out = captureCompile("shader/TextureQuad.vert", "shader/TextureQuad.frag", program);
    EXPECT_EQ(out, "Compiling shader : shader/TextureQuad.vert\n\n"
                   "Compiling shader : shader/TextureQuad.frag\n\n"
                   "Linking program\n\n");
}

TEST_F(GlTest, BrokenOrMissingSourceStillReturnsAProgramAndShowsTheLog) {
    const char* broken = "/tmp/broken_shader_test.frag";
    std::ofstream(broken) << "#version 330 core\nvoid main() { this is not glsl }\n";
    Program program;
    std::string out = captureCompile("shader/TextureQuad.vert", broken, program);
    EXPECT_NE(program, 0u);
    EXPECT_FALSE(linkStatus(program));
    // The error is on the file's line 2: the loader's leading line feed and the shared constants it puts
    // after #version leave the driver's line numbers those of the file (Mesa writes "0:2(", others "0(2)").
    EXPECT_TRUE(out.find("0:2(") != std::string::npos || out.find("0(2)") != std::string::npos) << out;
    EXPECT_NE(out.find("Linking program\n"), std::string::npos);

    out = captureCompile("shader/no-such-file.vert", "shader/TextureQuad.frag", program);
    EXPECT_NE(program, 0u);
    EXPECT_FALSE(linkStatus(program));
    EXPECT_EQ(out.find("Compiling shader : shader/no-such-file.vert\n"), 0u);
}
