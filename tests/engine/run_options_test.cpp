#include "tolvane-run/run_options.h"

#include <gtest/gtest.h>

namespace tolvane::run {
namespace {

TEST(RunOptions, ReadsEveryOptionAndTheTargets) {
    std::string error;
    const auto options =
        parseArguments({"--save-at", "/dst", "--date-copy", "--read-only", "--stamp", "2026", "12",
                        "8", "9", "30", "0", "/a", "--", "--odd"},
                       error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->saveAt, "/dst");
    EXPECT_TRUE(options->dateCopy);
    EXPECT_FALSE(options->compress);
    EXPECT_TRUE(options->readOnly);
    ASSERT_TRUE(options->stamp);
    EXPECT_EQ((*options->stamp)[2], "8");
    EXPECT_EQ(options->targets, (std::vector<std::string>{"/a", "--odd"}));
}

TEST(RunOptions, RefusesWhatItCannotUse) {
    std::string error;
    EXPECT_FALSE(parseArguments({"/a"}, error));
    EXPECT_FALSE(parseArguments({"--save-at"}, error));
    EXPECT_FALSE(parseArguments({"--save-at", "/d", "--stamp", "1", "2"}, error));
    EXPECT_FALSE(parseArguments({"--save-at", "/d", "--bogus"}, error));
    EXPECT_NE(error.find("--bogus"), std::string::npos);
}

} // namespace
} // namespace tolvane::run
