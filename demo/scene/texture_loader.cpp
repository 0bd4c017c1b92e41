#include "scene/texture_loader.h"

#include "app/demo_app.h"
#include "scene/image_check.h"

#include <IL/il.h>

namespace {

struct PixelLayout {
    ILenum decoded;
    GLint internalFormat;
    GLenum format;
};

PixelLayout pixelLayout(ColorSpace colorSpace) {
    if (colorSpace == SRGB_ALPHA)
        return {IL_RGBA, GL_SRGB8_ALPHA8, GL_RGBA};
    return {IL_RGB, GL_RGB, GL_RGB};
}

void initImageLibrary() {
    if (theApp->imageLibraryReady)
        return;
    ilInit();
    // Before the first load, so that every image, the first one included, reaches GL bottom row first.
    ilEnable(IL_ORIGIN_SET);
    ilOriginFunc(IL_ORIGIN_LOWER_LEFT);
    theApp->imageLibraryReady = true;
}

void uploadLevelZero(const PixelLayout& layout) {
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    // DevIL packs rows tightly; RGB rows of most odd widths are no multiple of four bytes.
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, layout.internalFormat, ilGetInteger(IL_IMAGE_WIDTH),
                 ilGetInteger(IL_IMAGE_HEIGHT), 0, layout.format, GL_UNSIGNED_BYTE, ilGetData());
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

// A mipmapped texture made from the bound DevIL image.
GLuint createTexture(const PixelLayout& layout) {
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    uploadLevelZero(layout);
    glGenerateMipmap(GL_TEXTURE_2D);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
    glBindTexture(GL_TEXTURE_2D, 0);
    return texture;
}

} // namespace

std::string normalMapPath(const std::string& diffusePath) {
    std::string::size_type slash = diffusePath.rfind('/');
    std::string::size_type nameStart = slash == std::string::npos ? 0 : slash + 1;
    return diffusePath.substr(0, nameStart) + NORMAL_MAP_PREFIX + diffusePath.substr(nameStart);
}

GLuint loadTexture(ColorSpace colorSpace, std::string path) {
    initImageLibrary();
    auto cached = theApp->textureCache.find(path);
    if (cached != theApp->textureCache.end())
        return cached->second;

    if (!imageFileLooksComplete(path))
        return NO_TEXTURE;
    PhaseTimer timer(theApp->startupSeconds[PHASE_TEXTURES]);
    PixelLayout layout = pixelLayout(colorSpace);
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    bool decoded = ilLoadImage(path.c_str()) && ilConvertImage(layout.decoded, IL_UNSIGNED_BYTE);
    GLuint texture = decoded ? createTexture(layout) : NO_TEXTURE;
    // The pixels live on in GL; keeping DevIL's copy would hold every image for the whole run.
    ilDeleteImages(1, &image);
    if (texture != NO_TEXTURE)
        theApp->textureCache.emplace(path, Texture(texture));
    return texture;
}
