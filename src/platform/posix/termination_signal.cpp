#include "platform/termination_signal.h"

#include "platform/posix/system_failure.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace tolvane::platform {

namespace {

int writeEnd = -1;
volatile std::sig_atomic_t requested = 0;

extern "C" void onTerminationSignal(int) {
    requested = 1;
    const int saved = errno;
    const char byte = 1;
    // Only async-signal-safe calls here; a full pipe already says enough.
    [[maybe_unused]] const ssize_t written = ::write(writeEnd, &byte, 1);
    errno = saved;
}

} // namespace

int watchTerminationSignals() {
    int ends[2];
    if (::pipe(ends) != 0) {
        throwFailure(errno, "pipe");
    }
    for (int end : ends) {
        ::fcntl(end, F_SETFD, FD_CLOEXEC);
        ::fcntl(end, F_SETFL, ::fcntl(end, F_GETFL) | O_NONBLOCK);
    }
    writeEnd = ends[1];
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        ::sigaction(signal, &action, nullptr);
    }
    return ends[0];
}

void drainTerminationPipe(int readEnd) {
    char buffer[64];
    while (::read(readEnd, buffer, sizeof buffer) > 0) {
    }
}

bool terminationRequested() {
    return requested != 0;
}

} // namespace tolvane::platform
