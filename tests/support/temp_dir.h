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
#ifdef _WIN32
        // The long form, so names Windows would read otherwise (a trailing
        // blank or dot, "CON") are removed as they are.
        std::wstring text = path_.wstring();
        std::replace(text.begin(), text.end(), L'/', L'\\');
        const std::filesystem::path root(L"\\\\?\\" + text);
#else
        const std::filesystem::path& root = path_;
#endif
        // Give write permission back so read-only copies can be removed.
        for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
             !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
            if (!it->is_symlink(ec)) {
                std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                             std::filesystem::perm_options::add, ec);
            }
        }
        std::filesystem::remove_all(root, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const {
        return path_;
    }
    std::string str() const {
        return path_.string();
    }
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
