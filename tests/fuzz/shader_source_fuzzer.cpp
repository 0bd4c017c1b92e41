// The shader source reader on arbitrary file contents: every line of the file, and nothing else, comes
// back behind one line feed of its own, whatever bytes the lines hold.
#include "render/shader_loader.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

std::string filePath;

void removeFile() {
    unlink(filePath.c_str());
}

std::string expectedSource(const std::string& text) {
    std::string source;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        source += "\n" + text.substr(start, end - start);
        start = end + 1;
    }
    return source;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char pattern[] = "/tmp/shader-fuzz-XXXXXX";
    int file = mkstemp(pattern);
    if (file < 0)
        abort();
    close(file);
    filePath = pattern;
    atexit(removeFile);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    FILE* file = fopen(filePath.c_str(), "wb");
    if (!file || fwrite(text.data(), 1, text.size(), file) != text.size() || fclose(file) != 0)
        abort();
    if (readShaderSource(filePath.c_str()) != expectedSource(text))
        abort();
    return 0;
}
