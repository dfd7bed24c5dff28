#include "platform/instance_claim.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <windows.h>

namespace tolvane::platform {
namespace {

// On Windows the lock is the file's sharing, which holds between two opens
// in one process as between two processes.
TEST(WindowsInstanceClaim, SecondClaimSignalsTheHolderAndTheFileGoesWithIt) {
    testing::TempDir temp;
    const std::string folder = temp.path().string();
    const std::filesystem::path lock = temp.path() / kInstanceLockName;
    {
        InstanceClaim holder(folder);
        ASSERT_FALSE(holder.heldByAnother());
        const auto requests = reinterpret_cast<HANDLE>(holder.showRequests());
        ASSERT_NE(holder.showRequests(), -1);
        EXPECT_TRUE(std::filesystem::exists(lock));
        EXPECT_EQ(::WaitForSingleObject(requests, 0), static_cast<DWORD>(WAIT_TIMEOUT));

        InstanceClaim second(folder);
        EXPECT_TRUE(second.heldByAnother());
        EXPECT_EQ(second.showRequests(), -1);
        EXPECT_TRUE(second.askHolderToShow());
        EXPECT_EQ(::WaitForSingleObject(requests, 5000), static_cast<DWORD>(WAIT_OBJECT_0));
    }
    EXPECT_FALSE(std::filesystem::exists(lock));
    InstanceClaim next(folder);
    EXPECT_FALSE(next.heldByAnother());
}

TEST(WindowsInstanceClaim, AFolderThatTakesNoFilesLeavesTheProgramUnguarded) {
    testing::TempDir temp;
    InstanceClaim claim((temp.path() / "missing").string());
    EXPECT_FALSE(claim.heldByAnother());
    EXPECT_EQ(claim.showRequests(), -1);
}

} // namespace
} // namespace tolvane::platform
