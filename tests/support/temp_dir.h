#pragma once

#include <algorithm>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

namespace tolvane::testing {

// A fresh folder under the system's temporary folder, removed with all its
// contents (read-only ones included) when the object goes.
class TempDir {
  public:
    TempDir() {
        std::random_device device;
        std::mt19937_64 generator(device());
        auto base = std::filesystem::temp_directory_path();
        for (;;) {
            path_ = base / ("tolvane-test-" + std::to_string(generator()));
            if (std::filesystem::create_directory(path_)) {
                break;
            }
        }
    }
    ~TempDir() {
        std::error_code ec;
        // Give write permission back so read-only copies can be removed.
        for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (!it->is_symlink(ec)) {
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ec);
            }
        }
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string str() const { return path_.string(); }
    std::string operator/(const std::string& name) const {
        std::string joined = (path_ / name).string();
#ifdef _WIN32
        // As Windows writes paths, so they compare equal to what the program builds.
        std::replace(joined.begin(), joined.end(), '/', '\\');
#endif
        return joined;
    }

  private:
    std::filesystem::path path_;
};

} // namespace tolvane::testing
