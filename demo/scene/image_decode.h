// Image files decoded by DevIL into mipmap chains. DevIL 1.7.8 crashes or runs away on damaged files of
// many formats, and on some valid ones (PNG-compressed icons), and it is not thread-safe: each image is
// decoded in a process of its own (see ChildProcess), within a time and memory limit, into memory shared
// with it.
#pragma once

#include "app/child_process.h"
#include "scene/image_levels.h"
#include "scene/shared_arena.h"

#include <cstddef>
#include <cstdint>

// An image decodes in milliseconds and a few times its decoded size; a damaged file that is still being
// read after this long, or has grown this far, will not come back.
constexpr ChildLimits IMAGE_DECODE_LIMITS{5.0, size_t(1) << 30};

enum DecodeOutcome { DECODE_FAILED, DECODE_NO_ROOM, DECODE_DONE };

// The file at `path` as a whole mipmap chain of `channels` (3 or 4) bytes a texel, in a block of `arena`
// that `levels` describes. Run it in a child process: DevIL's state and faults stay there.
DecodeOutcome decodeImageFile(const char* path, uint32_t channels, SharedArena& arena, ImageLevels& levels);
