#include "gl_fixture.h"
#include "scene_files.h"

#include "scene/image_prefetch.h"
#include "scene/texture_loader.h"

#include <IL/il.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

namespace {

// Level 0 as stored, rows bottom first, `components` bytes a pixel.
std::vector<unsigned char> texelBytes(GLuint texture, GLenum format, int components) {
    GLint width = 0, height = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    std::vector<unsigned char> bytes(width * height * components);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, bytes.data());
    glBindTexture(GL_TEXTURE_2D, 0);
    return bytes;
}

GLint levelParameter(GLuint texture, GLint level, GLenum name) {
    GLint value = 0;
    glBindTexture(GL_TEXTURE_2D, texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, level, name, &value);
    glBindTexture(GL_TEXTURE_2D, 0);
    return value;
}

// 2 x 3 pixels: a red top row above two blue rows.
std::string redTopRow() {
    std::vector<unsigned char> rgb = {255, 0, 0, 255, 0, 0};
    for (int i = 0; i < 4; ++i)
        rgb.insert(rgb.end(), {0, 0, 255});
    return ppm(2, 3, rgb);
}

// A real PNG, written by DevIL, to cut short or misname.
std::string pngBytes() {
    ilInit();
    ILuint image = 0;
    ilGenImages(1, &image);
    ilBindImage(image);
    std::vector<ILubyte> pixels(16 * 16 * 3, 90);
    ilTexImage(16, 16, 1, 3, IL_RGB, IL_UNSIGNED_BYTE, pixels.data());
    ilEnable(IL_FILE_OVERWRITE);
    ilSaveImage("saved.png");
    ilDeleteImages(1, &image);
    std::ifstream file("saved.png", std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Bytes of shared anonymous memory this process has mapped, and of those resident.
std::pair<size_t, size_t> sharedBytes() {
    std::ifstream maps("/proc/self/maps");
    size_t mapped = 0;
    for (std::string line; std::getline(maps, line);) {
        if (line.find("/dev/zero (deleted)") == std::string::npos)
            continue;
        size_t dash = line.find('-');
        mapped +=
            std::stoul(line.substr(dash + 1), nullptr, 16) - std::stoul(line.substr(0, dash), nullptr, 16);
    }
    std::ifstream status("/proc/self/status");
    size_t resident = 0;
    for (std::string line; std::getline(status, line);)
        if (line.rfind("RssShmem:", 0) == 0)
            resident = std::stoul(line.substr(9)) << 10;
    return {mapped, resident};
}

class TextureLoader : public GlTest {
  protected:
    SceneFolder folder;
};

} // namespace

TEST_F(TextureLoader, ColourAndNormalMapsAreMipmappedInTheirFormats) {
    SceneFolder::write("textures/wood.ppm", plainPpm(8, 4, 10, 20, 30));
    GLuint colour = loadTexture(SRGB_ALPHA, "textures/wood.ppm");
    GLuint normal = loadTexture(LINEAR_RGB, "textures/wood copy.ppm");
    EXPECT_EQ(normal, NO_TEXTURE);
    SceneFolder::write("textures/wood copy.ppm", plainPpm(8, 4, 10, 20, 30));
    normal = loadTexture(LINEAR_RGB, "textures/wood copy.ppm");
    ASSERT_NE(colour, NO_TEXTURE);
    ASSERT_NE(normal, NO_TEXTURE);
    GLint bound = -1;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(bound, 0);

    EXPECT_EQ(levelParameter(colour, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_SRGB8_ALPHA8);
    EXPECT_EQ(levelParameter(normal, 0, GL_TEXTURE_INTERNAL_FORMAT), GL_RGB);
    for (GLuint texture : {colour, normal}) {
        EXPECT_EQ(levelParameter(texture, 3, GL_TEXTURE_WIDTH), 1) << "full mipmap chain";
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MAG_FILTER), GL_LINEAR);
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_MIN_FILTER), GL_LINEAR_MIPMAP_LINEAR);
        EXPECT_EQ(textureParameter(texture, GL_TEXTURE_WRAP_S), GL_REPEAT);
    }
    std::vector<unsigned char> stored = texelBytes(colour, GL_RGBA, 4);
    EXPECT_EQ(std::vector<unsigned char>(stored.begin(), stored.begin() + 4),
              (std::vector<unsigned char>{10, 20, 30, 255}));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(TextureLoader, CacheHoldsSuccessfulLoadsByExactPath) {
    SceneFolder::write("textures/stone.ppm", plainPpm(2, 2, 1, 2, 3));
    GLuint first = loadTexture(SRGB_ALPHA, "textures/stone.ppm");
    ASSERT_NE(first, NO_TEXTURE);
    // Served from the cache: the file is not read again.
    fs::remove("textures/stone.ppm");
    EXPECT_EQ(loadTexture(SRGB_ALPHA, "textures/stone.ppm"), first);
    EXPECT_EQ(loadTexture(LINEAR_RGB, "textures/stone.ppm"), first);

    // A missing file is tried on every request and never cached.
    EXPECT_EQ(loadTexture(SRGB_ALPHA, "textures/later.ppm"), NO_TEXTURE);
    EXPECT_EQ(loadTexture(SRGB_ALPHA, "textures/later.ppm"), NO_TEXTURE);
    EXPECT_EQ(app->textureCache.count("textures/later.ppm"), 0u);
    SceneFolder::write("textures/later.ppm", plainPpm(2, 2, 1, 2, 3));
    GLuint later = loadTexture(SRGB_ALPHA, "textures/later.ppm");
    EXPECT_NE(later, NO_TEXTURE);

    // Two spellings of one file are two entries and two textures.
    GLuint other = loadTexture(SRGB_ALPHA, "./textures/later.ppm");
    EXPECT_NE(other, NO_TEXTURE);
    EXPECT_NE(other, later);
    EXPECT_EQ(app->textureCache.size(), 3u);
}

// Without an origin set before the first load, the first image of a run arrives top row first and
// every later one bottom row first.
TEST_F(TextureLoader, FirstAndLaterImagesShareTheirRowOrder) {
    ilInit();
    ilDisable(IL_ORIGIN_SET); // as the image library starts in a fresh process
    SceneFolder::write("textures/first.ppm", redTopRow());
    SceneFolder::write("textures/second.ppm", redTopRow());
    GLuint first = loadTexture(SRGB_ALPHA, "textures/first.ppm");
    GLuint second = loadTexture(SRGB_ALPHA, "textures/second.ppm");
    ASSERT_NE(first, NO_TEXTURE);
    ASSERT_NE(second, NO_TEXTURE);
    std::vector<unsigned char> firstRows = texelBytes(first, GL_RGBA, 4);
    EXPECT_EQ(firstRows, texelBytes(second, GL_RGBA, 4));
    // GL's last row, at t = 1, is the image's top row.
    EXPECT_EQ(firstRows[0], 0);
    EXPECT_EQ(firstRows[2], 255);
    EXPECT_EQ(firstRows[4 * 4], 255);
    EXPECT_EQ(firstRows[4 * 4 + 2], 0);
}

TEST_F(TextureLoader, OddWidthRgbUploadsUnskewed) {
    std::vector<unsigned char> rgb;
    for (unsigned char i = 0; i < 3 * 3 * 2; ++i)
        rgb.push_back(i * 10);
    SceneFolder::write("textures/odd.ppm", ppm(3, 2, rgb));
    GLuint texture = loadTexture(LINEAR_RGB, "textures/odd.ppm");
    ASSERT_NE(texture, NO_TEXTURE);
    // Rows come back bottom first.
    std::vector<unsigned char> expected(rgb.begin() + 9, rgb.end());
    expected.insert(expected.end(), rgb.begin(), rgb.begin() + 9);
    EXPECT_EQ(texelBytes(texture, GL_RGB, 3), expected);
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4);
}

// Each load reserves decoding space far larger than its image and shares the levels with a child.
TEST_F(TextureLoader, DecodingSpaceAndLevelsAreReleased) {
    SceneFolder::write("textures/one.ppm", plainPpm(2, 2, 1, 1, 1));
    SceneFolder::write("textures/two.ppm", plainPpm(256, 256, 1, 1, 1));
    loadTexture(SRGB_ALPHA, "textures/one.ppm");
    auto [mapped, resident] = sharedBytes();
    for (const char* path : {"textures/two.ppm", "textures/one copy.ppm", "textures/none.ppm"})
        loadTexture(LINEAR_RGB, path);
    auto [mappedAfter, residentAfter] = sharedBytes();
    EXPECT_EQ(mappedAfter, mapped);
    EXPECT_LT(residentAfter, resident + (size_t(64) << 10));
}

TEST_F(TextureLoader, BrokenImagesGiveNoTextureOrAValidOne) {
    SceneFolder::write("textures/real.ppm", plainPpm(4, 4, 1, 2, 3));
    std::string valid = plainPpm(4, 4, 1, 2, 3);
    std::string png = pngBytes();
    ASSERT_GT(png.size(), 60u);
    const std::pair<const char*, std::string> files[] = {
        {"textures/empty.png", ""},
        {"textures/empty.ppm", ""},
        {"textures/truncated.ppm", valid.substr(0, valid.size() / 2)},
        {"textures/truncated.png", png.substr(0, 60)},
        {"textures/truncated png", png.substr(0, png.size() - 20)},
        {"textures/png named.jpg", png},
        {"textures/header only.ppm", "P6\n4096 4096\n255\n"},
        {"textures/garbage.jpg", std::string(300, '\x7f')},
        {"textures/garbage.bmp", "BM" + std::string(100, '\x01')},
        {"textures/garbage.tga", std::string(100, '\0')},
        {"textures/ppm named.png", valid},
        {"textures/no extension", valid},
        {"textures/\xc3\xa4rger \xe2\x82\xac.ppm", valid},
    };
    for (const auto& [path, bytes] : files)
        SceneFolder::write(path, bytes);
    EXPECT_EQ(loadTexture(SRGB_ALPHA, "textures/empty.png"), NO_TEXTURE);
    EXPECT_EQ(loadTexture(SRGB_ALPHA, "textures/empty.ppm"), NO_TEXTURE);
    EXPECT_EQ(loadTexture(SRGB_ALPHA, ""), NO_TEXTURE);
    EXPECT_EQ(loadTexture(SRGB_ALPHA, "textures"), NO_TEXTURE);
    for (const auto& [path, bytes] : files) {
        GLuint texture = loadTexture(SRGB_ALPHA, path);
        EXPECT_EQ(app->textureCache.count(path), texture == NO_TEXTURE ? 0u : 1u) << path;
        if (texture != NO_TEXTURE) {
            EXPECT_TRUE(glIsTexture(texture)) << path;
        }
    }
    EXPECT_NE(loadTexture(SRGB_ALPHA, "textures/\xc3\xa4rger \xe2\x82\xac.ppm"), NO_TEXTURE);
    EXPECT_NE(loadTexture(SRGB_ALPHA, "textures/real.ppm"), NO_TEXTURE)
        << "the loader still works afterwards";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A map larger than the first frame's starts from level 1, and the texture samples level 0 once its top
// level has followed; a map of that size or less is whole at once. The unit's binding stays as it was.
TEST_F(TextureLoader, ALargeMapsTopLevelFollowsTheLevelsBelowIt) {
    std::vector<unsigned char> rgb;
    for (int i = 0; i < 1024 * 2; ++i)
        rgb.insert(rgb.end(), {static_cast<unsigned char>(i), static_cast<unsigned char>(i / 7), 9});
    SceneFolder::write("textures/wide.ppm", ppm(1024, 2, rgb));
    SceneFolder::write("textures/small.ppm", plainPpm(512, 2, 1, 2, 3));
    GLuint wide = loadTexture(LINEAR_RGB, "textures/wide.ppm");
    GLuint small = loadTexture(LINEAR_RGB, "textures/small.ppm");
    ASSERT_NE(wide, NO_TEXTURE);
    ASSERT_NE(small, NO_TEXTURE);
    EXPECT_EQ(textureParameter(wide, GL_TEXTURE_BASE_LEVEL), 1);
    EXPECT_EQ(levelParameter(wide, 0, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(levelParameter(wide, 1, GL_TEXTURE_WIDTH), 512);
    EXPECT_EQ(levelParameter(wide, 10, GL_TEXTURE_WIDTH), 1);
    EXPECT_EQ(textureParameter(small, GL_TEXTURE_BASE_LEVEL), 0);
    EXPECT_EQ(levelParameter(small, 0, GL_TEXTURE_WIDTH), 512);

    glBindTexture(GL_TEXTURE_2D, small);
    EXPECT_TRUE(uploadNextTopLevel(*app));
    EXPECT_FALSE(uploadNextTopLevel(*app));
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), small);
    EXPECT_EQ(textureParameter(wide, GL_TEXTURE_BASE_LEVEL), 0);
    // Rows come back bottom first.
    std::vector<unsigned char> expected(rgb.begin() + 1024 * 3, rgb.end());
    expected.insert(expected.end(), rgb.begin(), rgb.begin() + 1024 * 3);
    EXPECT_EQ(texelBytes(wide, GL_RGB, 3), expected);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// A map with a half-size form beside it takes its levels from 1 down from that file and level 0 from its
// own: at once when decoded here, and from the start-up's decoders once they have it, which end then.
TEST_F(TextureLoader, AMapsHalfSizeFormGivesTheLevelsBelowItsTop) {
    std::filesystem::create_directory("textures/half");
    for (const char* name : {"floor", "wall"}) {
        SceneFolder::write(std::string("textures/") + name + ".ppm", plainPpm(1024, 2, 200, 100, 50));
        SceneFolder::write(std::string("textures/half/") + name + ".ppm", plainPpm(512, 1, 10, 20, 30));
    }
    auto level = [](GLuint texture, GLint index) {
        std::vector<unsigned char> texel(3 * levelParameter(texture, index, GL_TEXTURE_WIDTH) *
                                         levelParameter(texture, index, GL_TEXTURE_HEIGHT));
        glBindTexture(GL_TEXTURE_2D, texture);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, index, GL_RGB, GL_UNSIGNED_BYTE, texel.data());
        glBindTexture(GL_TEXTURE_2D, 0);
        return std::vector<unsigned char>(texel.begin(), texel.begin() + 3);
    };
    const std::vector<unsigned char> top{200, 100, 50}, half{10, 20, 30};

    GLuint floor = loadTexture(LINEAR_RGB, "textures/floor.ppm");
    ASSERT_NE(floor, NO_TEXTURE);
    EXPECT_EQ(textureParameter(floor, GL_TEXTURE_BASE_LEVEL), 0);
    EXPECT_EQ(level(floor, 0), top);
    EXPECT_EQ(level(floor, 1), half);
    EXPECT_TRUE(app->heldTopLevels.empty());

    app->imagePrefetch = std::make_unique<ImagePrefetch>(std::vector<std::pair<int, std::string>>{});
    ImageTable& table = app->imagePrefetch->table();
    table.request(LINEAR_RGB, "textures/half/wall.ppm", HALF_IMAGE);
    table.request(LINEAR_RGB, "textures/wall.ppm", TOP_LEVEL_IMAGE);
    table.close();
    GLuint wall = loadTexture(LINEAR_RGB, "textures/wall.ppm");
    ASSERT_NE(wall, NO_TEXTURE);
    EXPECT_EQ(textureParameter(wall, GL_TEXTURE_BASE_LEVEL), 1);
    EXPECT_EQ(levelParameter(wall, 0, GL_TEXTURE_WIDTH), 0);
    EXPECT_EQ(level(wall, 1), half);
    ASSERT_EQ(app->heldTopLevels.size(), 1u);
    finishImagePrefetch(*app);
    ASSERT_NE(app->imagePrefetch, nullptr) << "the decoders stay while a top level waits for them";
    uploadHeldTopLevels(*app);
    EXPECT_EQ(textureParameter(wall, GL_TEXTURE_BASE_LEVEL), 0);
    EXPECT_EQ(level(wall, 0), top);
    EXPECT_EQ(app->imagePrefetch, nullptr);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}
