#pragma once

// The small helpers the tests of every folder share: file contents, folder
// listings, times and permissions, special files, a file-size limit,
// environment variables, and shell commands. The operating system's own calls
// stay in here; most of the special fixtures exist in the POSIX build only.

#include <algorithm>
#include <array>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <linux/audit.h>
#include <linux/filter.h>
#include <linux/fs.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace tolvane::testing {

// Writes the bytes, making the file's folder first when it is missing.
// Setting up only: a failure shows in what the test reads back.
inline void writeFile(const std::filesystem::path& path, const std::string& content) {
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec);
    std::ofstream(path, std::ios::binary) << content;
}

// The file's bytes. A file that cannot be opened fails the test, so a
// missing file never passes for an empty one.
inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        ADD_FAILURE() << "cannot read " << path;
        return {};
    }
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The names in a folder, sorted, so a test can tell nothing else was left.
inline std::vector<std::string> namesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Sets access and modification time of the entry itself (a link is not
// followed).
inline void setModified(const std::filesystem::path& path, std::int64_t seconds) {
#ifdef _WIN32
    const auto ticks = static_cast<std::uint64_t>(seconds * 10000000 + 116444736000000000);
    const FILETIME time{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    const HANDLE file = ::CreateFileW(
        path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    const BOOL set = ::SetFileTime(file, &time, &time, &time);
    ::CloseHandle(file);
    ASSERT_TRUE(set) << path;
#else
    const struct timespec times[2] = {{static_cast<time_t>(seconds), 0},
                                      {static_cast<time_t>(seconds), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
#endif
}

#ifdef _WIN32

// The modification time of the entry itself, in seconds since the epoch.
inline std::int64_t modifiedOf(const std::filesystem::path& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) << path;
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) |
        data.ftLastWriteTime.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000) - 11644473600;
}

// Holds a file open without letting others delete it while it lives, as a
// writer that is still at work does.
class HeldLock {
  public:
    explicit HeldLock(const std::filesystem::path& path)
        : file_(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr)) {
        EXPECT_NE(file_, INVALID_HANDLE_VALUE) << path;
    }
    ~HeldLock() { ::CloseHandle(file_); }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

  private:
    HANDLE file_;
};

// Sets one environment variable while it lives and puts the old value back.
class EnvironmentValue {
  public:
    // UTF-8 in, as everywhere in the program; the system keeps UTF-16.
    EnvironmentValue(const char* name, const std::string& value) : name_(wide(name)) {
        if (const wchar_t* old = ::_wgetenv(name_.c_str())) {
            old_ = old;
        }
        ::_wputenv_s(name_.c_str(), wide(value).c_str());
    }
    ~EnvironmentValue() { ::_wputenv_s(name_.c_str(), old_ ? old_->c_str() : L""); }
    EnvironmentValue(const EnvironmentValue&) = delete;
    EnvironmentValue& operator=(const EnvironmentValue&) = delete;

  private:
    static std::wstring wide(const std::string& text) {
        std::wstring result(text.size(), L'\0');
        const int length =
            ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                  result.data(), static_cast<int>(result.size()));
        result.resize(static_cast<std::size_t>(length > 0 ? length : 0));
        return result;
    }

    std::wstring name_;
    std::optional<std::wstring> old_;
};

#else

// The modification time of the entry itself, in seconds since the epoch.
inline std::int64_t modifiedOf(const std::filesystem::path& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return static_cast<std::int64_t>(status.st_mtime);
}

// The permission bits of the entry itself (a link is not followed).
inline unsigned permissionsOf(const std::filesystem::path& path) {
    struct stat status {};
    EXPECT_EQ(::lstat(path.c_str(), &status), 0) << path;
    return status.st_mode & 07777;
}

inline void setPermissions(const std::filesystem::path& path, unsigned mode) {
    ASSERT_EQ(::chmod(path.c_str(), mode), 0) << path;
}

// Leaves a named pipe at path: an entry that is neither file, folder nor link.
inline void makeFifo(const std::filesystem::path& path) {
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0) << path;
}

// Leaves a socket file at path: an entry that is neither file, folder nor
// link.
inline void makeSocket(const std::filesystem::path& path) {
    const std::string name = path.string();
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(fd, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    ASSERT_LT(name.size(), sizeof address.sun_path) << name;
    std::copy(name.begin(), name.end(), address.sun_path);
    const int bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::close(fd);
    ASSERT_EQ(bound, 0) << name;
}

// While it lives, no file this process writes grows past the limit: a write
// fails part way ("File too large"), as it would on a full disk.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(std::uint64_t bytes) {
        EXPECT_EQ(::getrlimit(RLIMIT_FSIZE, &old_), 0);
        // The signal would end the process; the failed write is what we want.
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limited = old_;
        limited.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    struct rlimit old_ {};
    void (*oldHandler_)(int) = SIG_DFL;
};

// The number of a process that has ended: a child that exits at once,
// already reaped.
inline pid_t endedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, 0), child);
    return child;
}

// Holds an exclusive advisory lock on a file while it lives, as a writer
// that is still at work does.
class HeldLock {
  public:
    explicit HeldLock(const std::filesystem::path& path)
        : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        EXPECT_GE(fd_, 0) << path;
        EXPECT_EQ(::flock(fd_, LOCK_EX | LOCK_NB), 0) << path;
    }
    ~HeldLock() { ::close(fd_); }
    HeldLock(const HeldLock&) = delete;
    HeldLock& operator=(const HeldLock&) = delete;

  private:
    int fd_;
};

// While it lives, the folder takes no new entries and loses none, while the
// files in it stay writable. Root passes over permission bits, so for root
// the folder is marked immutable instead; closed() says whether either held.
class ClosedFolder {
  public:
    explicit ClosedFolder(const std::filesystem::path& path) : path_(path) {
        if (::geteuid() != 0) {
            struct stat status {};
            closed_ = ::stat(path.c_str(), &status) == 0 && ::chmod(path.c_str(), 0555) == 0;
            mode_ = status.st_mode & 07777;
            return;
        }
        fd_ = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        int flags = 0;
        if (fd_ >= 0 && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            flags |= FS_IMMUTABLE_FL;
            closed_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
        }
    }
    ~ClosedFolder() {
        if (fd_ >= 0) {
            int flags = 0;
            if (closed_ && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
                flags &= ~FS_IMMUTABLE_FL;
                ::ioctl(fd_, FS_IOC_SETFLAGS, &flags);
            }
            ::close(fd_);
        } else if (closed_) {
            ::chmod(path_.c_str(), mode_);
        }
    }
    ClosedFolder(const ClosedFolder&) = delete;
    ClosedFolder& operator=(const ClosedFolder&) = delete;

    bool closed() const { return closed_; }

  private:
    std::filesystem::path path_;
    int fd_ = -1;
    mode_t mode_ = 0;
    bool closed_ = false;
};

// A small empty file system of `bytes` (a tmpfs in a child process's own
// mount namespace), reached through that child's root; for a disk that fills
// for real. Not every machine lets a process mount one: check available().
class SmallFileSystem {
  public:
    SmallFileSystem(const std::filesystem::path& mountPoint, std::uint64_t bytes) {
        std::filesystem::create_directories(mountPoint);
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(hold_) != 0) {
            return;
        }
        const uid_t uid = ::geteuid();
        const gid_t gid = ::getegid();
        child_ = ::fork();
        if (child_ == 0) {
            ::close(ready[0]);
            ::close(hold_[1]);
            const bool mounted =
                enterOwnNamespace(uid, gid) &&
                ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                ::mount("tmpfs", mountPoint.c_str(), "tmpfs", 0,
                        ("size=" + std::to_string(bytes)).c_str()) == 0;
            const char answer = mounted ? 'y' : 'n';
            (void)!::write(ready[1], &answer, 1);
            char ignored;
            while (::read(hold_[0], &ignored, 1) > 0) {
            }
            ::_exit(0);
        }
        ::close(ready[1]);
        ::close(hold_[0]);
        char answer = 'n';
        if (child_ > 0 && ::read(ready[0], &answer, 1) == 1 && answer == 'y') {
            root_ = "/proc/" + std::to_string(child_) + "/root" + mountPoint.string();
        }
        ::close(ready[0]);
    }
    ~SmallFileSystem() {
        ::close(hold_[1]);
        if (child_ > 0) {
            ::waitpid(child_, nullptr, 0);
        }
    }
    SmallFileSystem(const SmallFileSystem&) = delete;
    SmallFileSystem& operator=(const SmallFileSystem&) = delete;

    bool available() const { return !root_.empty(); }
    // The file system's root as this process reaches it.
    const std::filesystem::path& path() const { return root_; }

  private:
    static bool enterOwnNamespace(uid_t uid, gid_t gid) {
        if (uid == 0) {
            return ::unshare(CLONE_NEWNS) == 0;
        }
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0) {
            return false;
        }
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
        return true;
    }

    pid_t child_ = -1;
    int hold_[2] = {-1, -1};
    std::filesystem::path root_;
};

// While it lives, this process acts as an unprivileged user, so permission
// bits hold for it even when the tests run as the superuser (who ignores
// them). Files a test wants that user to own go through giveToActingUser().
class ActingAsOtherUser {
  public:
    static constexpr uid_t kNobody = 65534;
    ActingAsOtherUser() : switched_(::geteuid() == 0) {
        if (switched_) {
            EXPECT_EQ(::setegid(kNobody), 0);
            EXPECT_EQ(::seteuid(kNobody), 0);
        }
    }
    ~ActingAsOtherUser() {
        if (switched_) {
            (void)!::seteuid(0);
            (void)!::setegid(0);
        }
    }
    ActingAsOtherUser(const ActingAsOtherUser&) = delete;
    ActingAsOtherUser& operator=(const ActingAsOtherUser&) = delete;

    static void giveToActingUser(const std::filesystem::path& path) {
        if (::geteuid() == 0) {
            EXPECT_EQ(::lchown(path.c_str(), kNobody, kNobody), 0) << path;
        }
    }

  private:
    bool switched_;
};

// Runs `step` in a child process whose system refuses every change of
// permission bits, as a file system without them does; the child's exit
// status is `step`'s result. -1 when the refusal cannot be set up here.
template <typename Step> int runWithModeChangesRefused(Step step) {
#if defined(__x86_64__)
    constexpr std::uint32_t arch = AUDIT_ARCH_X86_64;
#elif defined(__aarch64__)
    constexpr std::uint32_t arch = AUDIT_ARCH_AARCH64;
#else
    return -1;
#endif
    const pid_t child = ::fork();
    if (child == 0) {
        auto refuse = [](std::uint32_t number) {
            return std::array<sock_filter, 2>{
                sock_filter BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, number, 0, 1),
                sock_filter BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EPERM)};
        };
        std::vector<sock_filter> program = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, arch)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, arch, 1, 0),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr))};
        std::vector<std::uint32_t> calls = {__NR_fchmod, __NR_fchmodat};
#ifdef __NR_chmod
        calls.push_back(__NR_chmod);
#endif
#ifdef __NR_fchmodat2
        calls.push_back(__NR_fchmodat2);
#endif
        for (const std::uint32_t call : calls) {
            for (const sock_filter& instruction : refuse(call)) {
                program.push_back(instruction);
            }
        }
        program.push_back(BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
        sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
        if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 ||
            ::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &filter) != 0) {
            ::_exit(255);
        }
        ::_exit(step());
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) == 255) {
        return -1;
    }
    return WEXITSTATUS(status);
}

// Runs `step` in a child process that the system kills (SIGXFSZ) when a
// file it writes grows past `bytes`: a kill in the middle of a write. The
// child's process id when it was killed so, else -1.
template <typename Step> pid_t killedWhileWriting(std::uint64_t bytes, Step step) {
    const pid_t child = ::fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_DFL);
        struct rlimit limited {};
        ::getrlimit(RLIMIT_FSIZE, &limited);
        limited.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limited);
        step();
        ::_exit(0);
    }
    int status = 0;
    if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFSIGNALED(status) ||
        WTERMSIG(status) != SIGXFSZ) {
        return -1;
    }
    return child;
}

// Sets one environment variable while it lives and puts the old value back.
class EnvironmentValue {
  public:
    EnvironmentValue(const char* name, const std::string& value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        ::setenv(name, value.c_str(), 1);
    }
    ~EnvironmentValue() {
        if (old_) {
            ::setenv(name_, old_->c_str(), 1);
        } else {
            ::unsetenv(name_);
        }
    }
    EnvironmentValue(const EnvironmentValue&) = delete;
    EnvironmentValue& operator=(const EnvironmentValue&) = delete;

  private:
    const char* name_;
    std::optional<std::string> old_;
};

// One argument for the shell, whatever characters it holds.
inline std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

struct CommandResult {
    int status = -1; // the exit status; -1 when the command did not end normally
    std::string output;
};

// Runs a shell command line, its output and errors together.
inline CommandResult runCommand(const std::string& command) {
    CommandResult result;
    std::FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) {
        return result;
    }
    std::array<char, 4096> buffer{};
    std::size_t n;
    while ((n = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        result.output.append(buffer.data(), n);
    }
    const int raw = ::pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

#endif

} // namespace tolvane::testing
