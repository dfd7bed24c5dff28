#pragma once

#include "engine/mirror_engine.h"
#include "platform/failure.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "support/fake_shell.h"
#include "support/files.h"
#include "support/temp_dir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>
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
        testing::writeFile(path(relative), content);
    }

    std::string read(const std::string& relative) const {
        return testing::readFile(path(relative));
    }

    bool exists(const std::string& relative) const {
        return platform::linkStatus(path(relative)).has_value();
    }

    void setModified(const std::string& relative, std::int64_t seconds) {
        testing::setModified(path(relative), seconds);
    }

    std::int64_t modified(const std::string& relative) const {
        return platform::fileStatus(path(relative)).modified;
    }

#ifdef _WIN32
    // Windows keeps only the read-only attribute: the bits a POSIX system
    // would show for it.
    std::uint32_t mode(const std::string& relative) const {
        return platform::fileStatus(path(relative)).readOnly ? 0444u : 0644u;
    }

    void chmod(const std::string& relative, unsigned mode) {
        const bool set = (mode & 0200) ? platform::setAttributesNormal(path(relative))
                                       : platform::setAttributesReadOnly(path(relative));
        ASSERT_TRUE(set) << relative;
    }
#else
    // The permission bits, as the system reports them.
    std::uint32_t mode(const std::string& relative) const {
        return testing::permissionsOf(path(relative));
    }

    void chmod(const std::string& relative, unsigned mode) {
        testing::setPermissions(path(relative), mode);
    }
#endif

    std::vector<std::string> names(const std::string& relative) const {
        return testing::namesIn(path(relative));
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

    // The lines of the run's failures so far, one item after the other.
    std::vector<std::vector<std::string>> failures() const {
        std::vector<std::vector<std::string>> items;
        for (const ItemFailure& failure : engine.report().failures) {
            items.push_back(itemLines(failure));
        }
        return items;
    }

    testing::TempDir dir;
    FormState state;
    testing::FakeShell shell;
    MirrorEngine engine;
};

} // namespace tolvane::engine
