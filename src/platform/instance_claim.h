#pragma once

#include <cstdint>
#include <memory>
#include <string>

namespace tolvane::platform {

// The one running desktop program per settings folder. The claim is a lock on
// "Tolvane.lock" in that folder which the system drops with the process,
// however it ends, so a program killed without warning blocks no later start.
class InstanceClaim {
  public:
    // Claims `folder`, an existing folder. Never throws: where no claim can be
    // made (a folder that takes no new files), the program runs unguarded.
    explicit InstanceClaim(const std::string& folder);
    ~InstanceClaim();
    InstanceClaim(const InstanceClaim&) = delete;
    InstanceClaim& operator=(const InstanceClaim&) = delete;

    // Another running program holds the folder.
    bool heldByAnother() const;

    // Asks the holder to show its window; false when it cannot be reached.
    bool askHolderToShow() const;

    // While this program holds the folder: what an event loop waits on for
    // another start's request to show the window, a descriptor that becomes
    // readable on POSIX, an event object that becomes signalled on Windows;
    // -1 when there is none.
    std::intptr_t showRequests() const;

    // Takes the requests after showRequests() was reported ready.
    void takeShowRequests();

  private:
    struct State;
    std::unique_ptr<State> state_;
};

// The lock file's name in the settings folder.
inline constexpr const char* kInstanceLockName = "Tolvane.lock";

} // namespace tolvane::platform
