#include "platform/failure.h"
#include "support/fake_shell.h"
#include "window/default_error.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace tolvane::window {
namespace {

TEST(DefaultErrorPath, AFailureIsReportedWithItsNumberThenTheProgramEnds) {
    testing::FakeShell shell;
    bool after = false;
    EXPECT_THROW(runHandler(shell,
                            [&] {
                                throw platform::Failure(13, "Permission denied: /x/Tolvane.dat");
                                after = true;
                            }),
                 testing::ApplicationEnded);
    EXPECT_FALSE(after);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text,
              "実行時エラー '13':\r\n\r\nPermission denied: /x/Tolvane.dat");
    EXPECT_EQ(shell.endKind, EndKind::Orderly);
    EXPECT_EQ(shell.endCause, EndCause::Failure);
}

TEST(DefaultErrorPath, OtherExceptionsTakeTheSamePath) {
    testing::FakeShell shell;
    EXPECT_THROW(runHandler(shell, [] { throw std::runtime_error("broken"); }),
                 testing::ApplicationEnded);
    ASSERT_EQ(shell.messages.size(), 1u);
    EXPECT_EQ(shell.messages[0].text, "実行時エラー '0':\r\n\r\nbroken");
}

TEST(DefaultErrorPath, AHandlerThatReturnsShowsNothing) {
    testing::FakeShell shell;
    int calls = 0;
    runHandler(shell, [&] { ++calls; });
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(shell.messages.empty());
    EXPECT_FALSE(shell.ended);
}

} // namespace
} // namespace tolvane::window
