#include "platform/executable.h"

#include <filesystem>
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

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
#ifdef _WIN32
    // Windows names the running program itself.
    wchar_t buffer[32768];
    const DWORD length = ::GetModuleFileNameW(nullptr, buffer, 32768);
    ASSERT_GT(length, 0u);
    const std::u8string folder =
        std::filesystem::path(std::wstring(buffer, length)).parent_path().u8string();
    EXPECT_EQ(executableFolder(), std::string(folder.begin(), folder.end()));
    EXPECT_EQ(executableBaseName(), "settings_tests");
#else
    const auto self = std::filesystem::read_symlink("/proc/self/exe");
    EXPECT_EQ(executableFolder(), self.parent_path().string());
    EXPECT_EQ(executableBaseName(), self.stem().string());
#endif
}

} // namespace
} // namespace tolvane::platform
