#include "engine_fixture.h"

#include <windows.h>

namespace tolvane::engine {
namespace {

using HeldSource = EngineTest;

// The helper beside this test program.
std::wstring helperPath() {
    wchar_t own[MAX_PATH];
    const DWORD length = ::GetModuleFileNameW(nullptr, own, MAX_PATH);
    std::wstring folder(own, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"hold_open.exe";
}

bool appears(const std::string& path) {
    for (int tick = 0; tick < 200; ++tick) {
        if (platform::fileExists(path)) {
            return true;
        }
        ::Sleep(50);
    }
    return false;
}

TEST_F(HeldSource, ASourceAnotherProgramHoldsIsNamedAsTheSourceAndTheRestIsCopied) {
    write("src/a.txt", "a");
    write("src/held.txt", "held");
    write("src/z.txt", "z");
    std::filesystem::create_directory(path("dst"));
    state.setTextSaveAt(path("dst"));
    state.addListTarget(path("src"));

    const std::string held = path("src/held.txt");
    std::wstring command =
        L"\"" + helperPath() + L"\" \"" + std::wstring(held.begin(), held.end()) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process));
    ASSERT_TRUE(appears(held + ".held")) << "the helper did not take the file";

    engine.runCopy();

    testing::writeFile(held + ".release", "");
    ::WaitForSingleObject(process.hProcess, 30000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);

    EXPECT_EQ(read("dst/src/a.txt"), "a");
    EXPECT_EQ(read("dst/src/z.txt"), "z");
    ASSERT_EQ(engine.report().failures.size(), 1u);
    const ItemFailure& failure = engine.report().failures[0];
    EXPECT_EQ(failure.side, FailedSide::Source);
    EXPECT_EQ(failure.cause, platform::FailureCause::HeldOpen);
    EXPECT_EQ(failure.paths[0], "コピー元：" + held);
    EXPECT_EQ(failure.heading, std::vector<std::string>{"CopyDiffFile:CopyFileに失敗しました。"});
    EXPECT_EQ(
        causeLine(failure).rfind("原因：コピー元：ほかのプログラムが開いているため使えません", 0),
        0u);
    ASSERT_EQ(shell.runReports.size(), 1u);
}

} // namespace
} // namespace tolvane::engine
