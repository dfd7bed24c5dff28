#include "platform/instance_claim.h"

#include "platform/paths.h"
#include "platform/posix/descriptor.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace tolvane::platform {

namespace {

// Another start asks the holder with SIGUSR1; the handler only passes it on
// to the event loop through a pipe, made once and kept for the process's life.
int requestReadEnd = -1;
int requestWriteEnd = -1;

extern "C" void onShowRequest(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(requestWriteEnd, &byte, 1);
    errno = saved;
}

bool makePipe(int ends[2]) {
    if (::pipe(ends) != 0) {
        return false;
    }
    for (int i = 0; i < 2; ++i) {
        ::fcntl(ends[i], F_SETFD, FD_CLOEXEC);
        ::fcntl(ends[i], F_SETFL, ::fcntl(ends[i], F_GETFL) | O_NONBLOCK);
    }
    return true;
}

struct flock wholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0;
    return lock;
}

} // namespace

struct InstanceClaim::State {
    Descriptor lockFile{-1};
    bool held = false;
    pid_t holder = 0;
};

InstanceClaim::InstanceClaim(const std::string& folder) : state_(std::make_unique<State>()) {
    // The handler is in place before the lock: once the lock is seen, a
    // request may arrive, and SIGUSR1's default would end the program.
    int ends[2];
    if (requestWriteEnd < 0 && makePipe(ends)) {
        requestReadEnd = ends[0];
        requestWriteEnd = ends[1];
        struct sigaction action {};
        action.sa_handler = onShowRequest;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        ::sigaction(SIGUSR1, &action, nullptr);
    }

    const std::string path = joinPath(folder, kInstanceLockName);
    state_->lockFile =
        Descriptor(::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644));
    if (state_->lockFile.get() < 0) {
        return; // unguarded
    }
    // A record lock (not flock) because the system names its holder. The
    // holder may let go between the two calls; then the next round takes it.
    for (int round = 0; round < 20; ++round) {
        struct flock lock = wholeFile(F_WRLCK);
        if (::fcntl(state_->lockFile.get(), F_SETLK, &lock) == 0) {
            return;
        }
        if (errno != EAGAIN && errno != EACCES) {
            state_->lockFile = Descriptor(-1);
            return;
        }
        struct flock probe = wholeFile(F_WRLCK);
        if (::fcntl(state_->lockFile.get(), F_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) {
            state_->held = true;
            state_->holder = probe.l_pid;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

InstanceClaim::~InstanceClaim() = default;

bool InstanceClaim::heldByAnother() const {
    return state_->held;
}

bool InstanceClaim::askHolderToShow() const {
    // The number comes from the system's lock table, so it is the holder's;
    // 0 is a holder on another machine sharing the folder.
    return state_->held && state_->holder > 0 && ::kill(state_->holder, SIGUSR1) == 0;
}

std::intptr_t InstanceClaim::showRequests() const {
    if (state_->held || state_->lockFile.get() < 0) {
        return -1;
    }
    return requestReadEnd;
}

void InstanceClaim::takeShowRequests() {
    char buffer[64];
    while (requestReadEnd >= 0 && ::read(requestReadEnd, buffer, sizeof buffer) > 0) {
    }
}

} // namespace tolvane::platform
