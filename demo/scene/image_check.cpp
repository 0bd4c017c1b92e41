#include "scene/image_check.h"

#include <cctype>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

const std::string PNG_SIGNATURE = "\x89PNG\r\n\x1a\n";

uint64_t bigEndian32(const std::string& bytes, size_t at) {
    uint64_t value = 0;
    for (size_t i = 0; i < 4; ++i)
        value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// Every chunk is a length, a type, the data and a checksum; the last one is IEND.
bool pngIsComplete(const std::string& bytes) {
    size_t at = PNG_SIGNATURE.size();
    while (at + 8 <= bytes.size()) {
        bool last = bytes.compare(at + 4, 4, "IEND") == 0;
        at += 12 + bigEndian32(bytes, at);
        if (at > bytes.size())
            return false;
        if (last)
            return true;
    }
    return false;
}

void skipSpaceAndComments(const std::string& bytes, size_t& at) {
    while (at < bytes.size() && (std::isspace(static_cast<unsigned char>(bytes[at])) || bytes[at] == '#')) {
        if (bytes[at] == '#')
            at = bytes.find('\n', at);
        else
            ++at;
    }
}

// Up to nine digits, so that products of header values cannot overflow; false when there are none or more.
bool readHeaderNumber(const std::string& bytes, size_t& at, uint64_t& value) {
    skipSpaceAndComments(bytes, at);
    size_t start = at;
    value = 0;
    while (at < bytes.size() && std::isdigit(static_cast<unsigned char>(bytes[at])) && at - start < 10)
        value = value * 10 + static_cast<uint64_t>(bytes[at++] - '0');
    return at > start && at - start < 10;
}

// "P5" (grey) and "P6" (RGB): width, height and maximum value, one whitespace byte, then the pixels.
bool binaryPnmIsComplete(const std::string& bytes) {
    size_t at = 2;
    uint64_t width = 0, height = 0, maximum = 0;
    if (!readHeaderNumber(bytes, at, width) || !readHeaderNumber(bytes, at, height) ||
        !readHeaderNumber(bytes, at, maximum))
        return false;
    uint64_t channels = bytes[1] == '6' ? 3 : 1;
    return bytes.size() >= at + 1 + width * height * channels;
}

} // namespace

bool imageLooksComplete(const std::string& bytes) {
    if (bytes.compare(0, PNG_SIGNATURE.size(), PNG_SIGNATURE) == 0)
        return pngIsComplete(bytes);
    if (bytes.size() >= 2 && bytes[0] == 'P' && (bytes[1] == '5' || bytes[1] == '6'))
        return binaryPnmIsComplete(bytes);
    return true;
}

bool imageFileLooksComplete(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return false;
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return file && imageLooksComplete(bytes.str());
}
