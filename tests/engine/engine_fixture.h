#pragma once

#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/fake_shell.h"
#include "support/temp_dir.h"

#include <algorithm>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace tolvane::engine {

// A source tree and a destination on real temporary folders, the state model,
// a recording shell and an engine whose day is 8 December 2026.
class EngineTest : public ::testing::Test {
  protected:
    EngineTest() : engine(state, shell, [] { return platform::LocalDate{2026, 12, 8}; }) {
        state.setStopTimerChecked(false);
    }

    std::string path(const std::string& relative) const { return dir / relative; }

    void write(const std::string& relative, const std::string& content) {
        std::filesystem::create_directories(std::filesystem::path(path(relative)).parent_path());
        std::ofstream(path(relative), std::ios::binary) << content;
    }

    std::string read(const std::string& relative) const {
        std::ifstream in(path(relative), std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    bool exists(const std::string& relative) const {
        return platform::linkStatus(path(relative)).has_value();
    }

    void setModified(const std::string& relative, std::int64_t seconds) {
        const struct timespec times[2] = {{static_cast<time_t>(seconds), 0},
                                          {static_cast<time_t>(seconds), 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, path(relative).c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }

    std::int64_t modified(const std::string& relative) const {
        return platform::fileStatus(path(relative)).modified;
    }

    std::uint32_t mode(const std::string& relative) const {
        return platform::fileStatus(path(relative)).mode;
    }

    void chmod(const std::string& relative, unsigned mode) {
        ASSERT_EQ(::chmod(path(relative).c_str(), mode), 0);
    }

    std::vector<std::string> names(const std::string& relative) const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(path(relative))) {
            found.push_back(entry.path().filename().string());
        }
        std::sort(found.begin(), found.end());
        return found;
    }

    // Runs `step`; true when the program ended inside it.
    template <typename Step> bool ends(Step step) {
        try {
            step();
        } catch (const testing::ApplicationEnded&) {
            return true;
        }
        return false;
    }

    testing::TempDir dir;
    FormState state;
    testing::FakeShell shell;
    MirrorEngine engine;
};

} // namespace tolvane::engine
