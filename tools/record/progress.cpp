#include "progress.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr int BAR_WIDTH = 30;

struct Rate {
    double framesPerSecond = 0.0;
    double secondsLeft = 0.0;
};

Rate rateOf(long long done, long long total, double elapsed) {
    Rate rate;
    if (done > 0 && elapsed > 0.0) {
        rate.framesPerSecond = done / elapsed;
        rate.secondsLeft = (total - done) / rate.framesPerSecond;
    }
    return rate;
}

} // namespace

std::string clockTime(double seconds) {
    long long whole = std::llround(seconds);
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

std::string progressBar(long long done, long long total, double elapsed) {
    Rate rate = rateOf(done, total, elapsed);
    int filled = static_cast<int>(BAR_WIDTH * done / total);
    char text[160];
    std::snprintf(text, sizeof text, "[%s%s] %lld/%lld frames  %.1f frames/s  %s left",
                  std::string(filled, '#').c_str(), std::string(BAR_WIDTH - filled, ' ').c_str(), done, total,
                  rate.framesPerSecond, clockTime(rate.secondsLeft).c_str());
    return text;
}

std::string progressLine(long long done, long long total, double elapsed) {
    Rate rate = rateOf(done, total, elapsed);
    char text[160];
    std::snprintf(text, sizeof text, "%lld%% (%lld of %lld frames), %.1f frames/s, %s left",
                  done * 100 / total, done, total, rate.framesPerSecond, clockTime(rate.secondsLeft).c_str());
    return text;
}

void Progress::update(long long done, double elapsed) {
    if (terminal) {
        // Back to the line's start, and clear what a longer line left there.
        std::fprintf(stderr, "\r%s\033[K", progressBar(done, total, elapsed).c_str());
        barShown = true;
        return;
    }
    int tenths = static_cast<int>(done * 10 / total);
    if (tenths > tenthsShown) {
        tenthsShown = tenths;
        std::fprintf(stderr, "record: %s\n", progressLine(done, total, elapsed).c_str());
    }
}

void Progress::finish() {
    if (barShown)
        std::fputc('\n', stderr);
    barShown = false;
}
