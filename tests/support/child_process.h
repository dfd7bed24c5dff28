#pragma once

// Checks that need a process of their own: one without root's right to read
// any folder, or one with a mount of its own. The body runs in a forked child
// and sends its findings back as text; the parent makes the assertions.

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <filesystem>
#include <functional>
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tolvane::testing {

struct ChildResult {
    bool ran = false; // the body ran to its end
    std::string text; // what the body returned, or why it could not run
};

// Runs `prepare` and then `body` in a child process. `prepare` returns an
// empty text when the child is ready, else why the check cannot be made
// here. A child that crashes fails the test.
inline ChildResult runInChild(const std::function<std::string()>& prepare,
                              const std::function<std::string()>& body) {
    int ends[2];
    if (::pipe(ends) != 0) {
        ADD_FAILURE() << "pipe: " << std::strerror(errno);
        return {};
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        std::string reason = prepare();
        const std::string message = reason.empty() ? "R" + body() : "S" + reason;
        std::size_t written = 0;
        while (written < message.size()) {
            const ssize_t n = ::write(ends[1], message.data() + written, message.size() - written);
            if (n <= 0) {
                break;
            }
            written += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(ends[1]);
    std::string message;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(ends[0], buffer, sizeof buffer)) > 0) {
        message.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(ends[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || message.empty()) {
        ADD_FAILURE() << "the child process did not finish (status " << status << ")";
        return {};
    }
    return {message[0] == 'R', message.substr(1)};
}

// Makes the child an ordinary user for whom a folder of mode 000 is closed:
// as root, the folder is handed to "nobody" and the child becomes nobody.
inline std::string becomeUnprivileged(const std::filesystem::path& folder,
                                      const std::filesystem::path& closed) {
    if (::geteuid() == 0) {
        constexpr uid_t kNobody = 65534;
        std::error_code ec;
        ::lchown(folder.c_str(), kNobody, kNobody);
        for (auto it = std::filesystem::recursive_directory_iterator(folder, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            ::lchown(it->path().c_str(), kNobody, kNobody);
        }
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0) {
            return std::string("cannot drop root's privileges: ") + std::strerror(errno);
        }
    }
    if (DIR* dir = ::opendir(closed.c_str())) {
        ::closedir(dir);
        return "a folder of mode 000 can still be read here";
    }
    return {};
}

// Gives the child a mount namespace of its own and mounts `folder` again at
// `inside`, so a walk of `folder` meets itself below.
inline std::string mountLoop(const std::filesystem::path& folder,
                             const std::filesystem::path& inside) {
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount(folder.c_str(), inside.c_str(), nullptr, MS_BIND, nullptr) != 0) {
        return std::string("cannot bind-mount a folder into itself: ") + std::strerror(errno);
    }
    return {};
}

} // namespace tolvane::testing
