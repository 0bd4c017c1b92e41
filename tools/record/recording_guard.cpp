#include "recording_guard.h"

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

volatile sig_atomic_t RecordingGuard::caught = 0;
RecordingGuard* RecordingGuard::active = nullptr;

namespace {

constexpr int STOP_SIGNALS[] = {SIGINT, SIGTERM, SIGHUP};

} // namespace

RecordingGuard::RecordingGuard() {
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    // Without SA_RESTART a write blocked on the encoder returns at once, so that the interrupt is seen.
    for (int signal : STOP_SIGNALS)
        sigaction(signal, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    active = this;
    static bool exitHandlerInstalled = std::atexit(removeLeftovers) == 0;
    (void)exitHandlerInstalled;
}

RecordingGuard::~RecordingGuard() {
    for (int signal : STOP_SIGNALS)
        std::signal(signal, SIG_DFL);
    std::signal(SIGPIPE, SIG_DFL);
    active = nullptr;
}

void RecordingGuard::noteSignal(int) {
    caught = 1;
}

void RecordingGuard::removeLeftovers() {
    if (!active)
        return;
    if (active->encoder > 0)
        kill(active->encoder, SIGKILL);
    if (!active->file.empty() && unlink(active->file.c_str()) == 0)
        std::fprintf(stderr, "record: stopped; the unfinished recording was removed\n");
}
