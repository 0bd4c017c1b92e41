// The context every fixture gets, headless or in the demo's window.
#include "gl_fixture.h"

#include "render/window_target.h"

TEST_F(GlTest, ContextIsThreeThreeCoreWithNoErrorLeftByTheLoader) {
    GLint major = 0, minor = 0, profile = 0;
    glGetIntegerv(GL_MAJOR_VERSION, &major);
    glGetIntegerv(GL_MINOR_VERSION, &minor);
    glGetIntegerv(GL_CONTEXT_PROFILE_MASK, &profile);
    EXPECT_GE(major * 10 + minor, 33);
    EXPECT_TRUE(profile & GL_CONTEXT_CORE_PROFILE_BIT);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// The window, or its stand-in, must encode linear colours exactly as an sRGB texture target does, or the
// frame shown without post-processing would be darker than the post-processed one.
TEST_F(GlTest, WindowAndSrgbTargetEncodeTheSameColour) {
    GLuint texture = 0, framebuffer = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_SRGB8_ALPHA8, 16, 16, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    ASSERT_EQ(glCheckFramebufferStatus(GL_FRAMEBUFFER), static_cast<GLenum>(GL_FRAMEBUFFER_COMPLETE));

    // A clear is written through the same sRGB encoding as a shaded fragment.
    glClearColor(0.2f, 0.5f, 0.8f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    auto target = readPixel(4, 4);
    const GLuint windowFramebuffer = app->windowFramebuffer();
    glBindFramebuffer(GL_FRAMEBUFFER, windowFramebuffer);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    readFromWindow(windowFramebuffer);
    auto window = readPixel(4, 4);

    GLint encoding = 0;
    glGetFramebufferAttachmentParameteriv(GL_FRAMEBUFFER,
                                          windowFramebuffer ? GL_COLOR_ATTACHMENT0 : GL_BACK_LEFT,
                                          GL_FRAMEBUFFER_ATTACHMENT_COLOR_ENCODING, &encoding);
    EXPECT_EQ(encoding, GL_SRGB);
    EXPECT_NEAR(target[1], 188, 1); // 0.5 linear encodes to about 0.735
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(window[c], target[c], 1) << "channel " << c;
    glDeleteFramebuffers(1, &framebuffer);
    glDeleteTextures(1, &texture);
}
