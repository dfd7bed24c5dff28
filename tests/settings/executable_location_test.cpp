#include "platform/executable.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace tolvane::platform {
namespace {

TEST(ExecutableLocation, SplitsFolderAndNameWithoutExtension) {
    EXPECT_EQ(folderOfPath("/opt/tolvane/Tolvane"), "/opt/tolvane");
    EXPECT_EQ(baseNameOfPath("/opt/tolvane/Tolvane"), "Tolvane");
    EXPECT_EQ(folderOfPath("/Tolvane.exe"), "/");
    EXPECT_EQ(baseNameOfPath("/Tolvane.exe"), "Tolvane");
    EXPECT_EQ(baseNameOfPath("/a.b/tool.v2.bin"), "tool.v2");
    EXPECT_EQ(baseNameOfPath("/x/.hidden"), ".hidden");
    EXPECT_EQ(folderOfPath("Tolvane"), ".");
}

TEST(ExecutableLocation, NamesTheRunningProgram) {
    const auto self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(executableFolder(), self.parent_path().string());
    EXPECT_EQ(executableBaseName(), self.stem().string());
}

} // namespace
} // namespace tolvane::platform
