#include "platform/instance_claim.h"
#include "support/temp_dir.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tolvane::platform {
namespace {

// The holder runs in a process of its own, since a process never blocks its
// own record locks. It reports "L" once it holds the folder and "S" when a
// request to show arrives, then waits to be killed.
pid_t startHolder(const std::string& folder, int& reports) {
    int ends[2];
    if (::pipe(ends) != 0) {
        return -1;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(ends[0]);
        InstanceClaim claim(folder);
        const bool holds = !claim.heldByAnother() && claim.showRequests() >= 0;
        [[maybe_unused]] ssize_t n = ::write(ends[1], holds ? "L" : "N", 1);
        struct pollfd wait {};
        wait.fd = static_cast<int>(claim.showRequests());
        wait.events = POLLIN;
        // The request's signal interrupts the wait; its byte is then there.
        int ready = -1;
        while (holds && (ready = ::poll(&wait, 1, 10000)) < 0 && errno == EINTR) {
        }
        if (holds && ready == 1) {
            claim.takeShowRequests();
            n = ::write(ends[1], "S", 1);
        }
        ::pause();
        ::_exit(0);
    }
    ::close(ends[1]);
    reports = ends[0];
    return child;
}

char nextReport(int reports) {
    char report = 0;
    return ::read(reports, &report, 1) == 1 ? report : '?';
}

TEST(InstanceClaim, SecondClaimAsksTheHolderAndAKilledHolderBlocksNothing) {
    testing::TempDir temp;
    const std::string folder = temp.path().string();
    int reports = -1;
    const pid_t holder = startHolder(folder, reports);
    ASSERT_GT(holder, 0);
    ASSERT_EQ(nextReport(reports), 'L');

    {
        InstanceClaim second(folder);
        EXPECT_TRUE(second.heldByAnother());
        EXPECT_EQ(second.showRequests(), -1);
        EXPECT_TRUE(second.askHolderToShow());
        EXPECT_EQ(nextReport(reports), 'S');
    }

    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    ::close(reports);
    InstanceClaim next(folder);
    EXPECT_FALSE(next.heldByAnother());
    EXPECT_GE(next.showRequests(), 0);
    EXPECT_FALSE(next.askHolderToShow());
}

TEST(InstanceClaim, AFolderThatTakesNoFilesLeavesTheProgramUnguarded) {
    testing::TempDir temp;
    const std::string missing = (temp.path() / "missing").string();
    InstanceClaim claim(missing);
    EXPECT_FALSE(claim.heldByAnother());
    EXPECT_EQ(claim.showRequests(), -1);
    EXPECT_FALSE(std::filesystem::exists(missing));
}

} // namespace
} // namespace tolvane::platform
